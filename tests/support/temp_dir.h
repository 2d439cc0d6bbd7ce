// Temporary directories for the unit tests, under TMPDIR (/tmp when unset).
#ifndef TESTS_SUPPORT_TEMP_DIR_H
#define TESTS_SUPPORT_TEMP_DIR_H

#include <string>

// A fresh directory named prefix + six random characters; empty when it
// cannot be made. It goes, with what it holds, when the process that made
// it exits, if not before.
std::string TestTemp_MakeDir(const char *prefix);

#endif
