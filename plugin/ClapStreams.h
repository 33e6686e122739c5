#pragma once

#include "plugin/ClapAbi.h"

#include <cstddef>

// Hosts' streams may take or give fewer bytes than asked for: these loop until done.

// Writes every byte; false on an error or when the stream stops taking bytes.
bool WriteWholeStream(const clap_ostream* stream, const void* data, std::size_t size);

// Reads until size bytes arrived or the stream ended; the count read, or -1 on an error.
long long ReadStreamUpTo(const clap_istream* stream, void* data, std::size_t size);
