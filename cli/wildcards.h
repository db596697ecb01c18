#pragma once
// Wildcards in the file names of the command line. The shells of Windows hand
// "*.xbm" to a program as typed; Windows users expect a console tool to
// expand it itself, as the shells elsewhere do before the program starts.

#include <filesystem>
#include <vector>

namespace asg::cli {

// Replaces each argument whose last part holds "*" or "?" by the names of the
// files that match it (folders left out), in name order ignoring case, each
// with the argument's folder part as typed. An argument that matches no file,
// a wildcard in a folder part, and every argument without wildcards stay as
// they are, so that a missing file is still reported under its own name.
// Elsewhere than on Windows the shell has expanded them already, and the
// arguments come back unchanged.
std::vector<std::filesystem::path> ExpandWildcards(std::vector<std::filesystem::path> args);

}  // namespace asg::cli
