// The commands of ardelctl. Each takes its arguments (after the command words) and the
// three streams, and returns the process exit status.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

using CtlArgs = std::vector<std::string>;

int RunAnalyse(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunCodebaseList(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunSim(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunCodebase(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
