#pragma once

#include <QString>

// Whether the file is an ELF program the system can start: a regular file the user may execute
// whose type is ET_EXEC, or ET_DYN with a program interpreter (PT_INTERP) or the DF_1_PIE flag.
// Any other ET_DYN is a shared library, which is loaded, never started.
bool isElfExecutable(const QString &path);
