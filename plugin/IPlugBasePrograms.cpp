// IPlugBase's programs and the serialization of parameter values.

#include "common/TextCopy.h"
#include "common/Trace.h"
#include "plugin/IPlugBase.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool IPlugBase::SerializeParamValues(StateChunk& chunk) {
    ScopedLock hold(lock_);
    bool stored = true;
    for (int i = 0; i < NumParams(); ++i) {
        const double value = GetParam(i)->Value();
        stored = chunk.Put(value) && stored;
    }
    return stored;
}

int IPlugBase::UnserializeParams(const StateChunk& chunk, int start) {
    ScopedLock hold(lock_);
    int position = start;
    for (int i = 0; i < NumParams() && position >= 0; ++i) {
        IParameter* param = GetParam(i);
        Trace("IPlugBase::UnserializeParams", 642, "%d %s", i, param->Name());
        double value = 0.0;
        position = chunk.Get(&value, position);
        if (position < 0) {
            value = 0.0;
        }
        param->SetPlain(value);
    }
    NotifyAllParameters();
    return position;
}

IProgramSlot* IPlugBase::FirstUninitialisedProgram() const {
    for (int i = 0; i < programs_.Count(); ++i) {
        if (!programs_.Get(i)->initialised) {
            return programs_.Get(i);
        }
    }
    return nullptr;
}

void IPlugBase::DefineProgram(const char* name, ...) {
    IProgramSlot* slot = FirstUninitialisedProgram();
    if (!slot) {
        return;
    }
    slot->initialised = true;
    CopyText(slot->name, name, sizeof slot->name);
    va_list values;
    va_start(values, name);
    for (int i = 0; i < NumParams(); ++i) {
        const double value =
            GetParam(i)->IsIntegerValued() ? double(va_arg(values, int)) : va_arg(values, double);
        slot->values.Put(value);
    }
    va_end(values);
}

void IPlugBase::DefineProgramsFromCurrent(const char* name, int count) {
    for (int n = 0; n < count; ++n) {
        IProgramSlot* slot = FirstUninitialisedProgram();
        if (!slot) {
            continue;
        }
        slot->initialised = true;
        CopyText(slot->name, name ? name : "Default", sizeof slot->name);
        SerializeParamValues(slot->values);
    }
}

void IPlugBase::EnsureOneProgram() {
    if (programs_.Count() > 0) {
        return;
    }
    IProgramSlot* slot = programs_.Append(new IProgramSlot());
    std::snprintf(slot->name, sizeof slot->name, "- %d -", 1);
    DefineProgramsFromCurrent("Default", 1);
}

bool IPlugBase::SelectProgram(int index) {
    IProgramSlot* slot = programs_.Get(index);
    if (!slot) {
        return false;
    }
    bool selected;
    if (slot->initialised) {
        selected = UnserializeParams(slot->values, 0) > 0;
    } else {
        slot->initialised = true;
        NextUserProgramName(slot->name);
        selected = SerializeParamValues(slot->values);
    }
    if (selected) {
        currentProgram_ = index;
        RefreshEditorFromParams();
    }
    return selected;
}

void IPlugBase::StoreCurrentProgram(const char* name) {
    IProgramSlot* slot = programs_.Get(currentProgram_);
    if (!slot) {
        return;
    }
    slot->values.Resize(0);
    SerializeParamValues(slot->values);
    if (name && *name) {
        CopyText(slot->name, name, sizeof slot->name);
    }
}

const char* IPlugBase::ProgramName(int index) const {
    const IProgramSlot* slot = programs_.Get(index);
    return slot ? slot->name : "";
}

void IPlugBase::NextUserProgramName(char* out) const {
    int count = 0;
    for (int i = 0; i < programs_.Count(); ++i) {
        if (std::strstr(programs_.Get(i)->name, "user preset")) {
            ++count;
        }
    }
    std::snprintf(out, IProgramSlot::kNameSize, "%s %d", "user preset", count + 1);
}
