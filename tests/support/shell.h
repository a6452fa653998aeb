#pragma once

#include <string>

namespace orva::test {

// `text` as one word of a POSIX shell command, whatever it holds.
std::string shellQuoted(const std::string& text);

// Runs `command` with /bin/sh and collects its standard output in `output` and, when `errors` is
// given, its standard error there (otherwise it goes to the test's own). Returns the exit status,
// or -1 when the shell could not be started or the command did not exit normally.
int runShell(const std::string& command, std::string* output, std::string* errors = nullptr);

} // namespace orva::test
