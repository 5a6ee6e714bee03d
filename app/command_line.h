// The command line. The program takes no arguments of its own; it answers
// --help and --version. Both are answered before the desktop is reached, so
// they work anywhere and never reach a running instance.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Handles the arguments that follow the program's name. Returns the exit
// code when the program ends here, having printed what was asked or what
// was wrong (0 for --help and --version, 2 for anything it does not know);
// nullopt when it starts.
std::optional<int> HandleCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err);
