#pragma once

class IParameter;
class RecursiveLock;

// What an editor needs of the plug-in it edits, and all it uses of it: the parameters to read
// and show (with their display texts), the three steps of an edit the host must hear (begin,
// perform, end), word that the editor changed its size, and the lock its input runs under.
// The plug-in core implements it; an editor in another process would implement it over the
// host's user-interface protocol, writing values through the host instead of into a plug-in.
class IEditorDelegate {
public:
    virtual int NumParams() const = 0;
    virtual IParameter* GetParam(int index) const = 0;

    // A gesture on a control bound to a parameter begins.
    virtual void BeginParamEdit(int paramIdx) = 0;
    // The user set a parameter to a normalized value.
    virtual void PerformParamEdit(int paramIdx, double normalized) = 0;
    // The gesture ends.
    virtual void EndParamEdit(int paramIdx) = 0;
    virtual void EditorResized() = 0;
    // Held while the editor handles input, so input never interleaves with the host's calls.
    virtual RecursiveLock& Lock() = 0;

protected:
    ~IEditorDelegate() = default;
};
