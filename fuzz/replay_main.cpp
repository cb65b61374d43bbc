// Runs a fuzz target on each file named on the command line and on each file
// in the folders named there, as libFuzzer replays inputs, but built without
// it: the ordinary test build runs the regression inputs as a test. Each
// input runs in a process of its own, so that one that breaks the target does
// not hide the others; all that break it are named at the end. A folder
// without files, or a name that is neither, fails the run, so that inputs
// cannot go missing unnoticed.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

void run(const std::string& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Whether the input runs through; its report goes to stderr.
bool runsThrough(const fs::path& input) {
    std::ifstream in(input, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::cout.flush();
    const pid_t child = fork();
    if (child == 0) {
        run(bytes);
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path place(argv[i]);
        std::vector<fs::path> found;
        if (fs::is_directory(place)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(place)) {
                if (entry.is_regular_file()) found.push_back(entry.path());
            }
            std::sort(found.begin(), found.end());
        } else if (fs::is_regular_file(place)) {
            found.push_back(place);
        }
        if (found.empty()) {
            std::cerr << place.string() << ": no inputs there\n";
            return 2;
        }
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    // Once here, so that what the target sets up on its first run (a
    // temporary folder, say) is made once and shared by every input's process.
    run({});
    std::vector<fs::path> broken;
    for (const fs::path& input : inputs) {
        if (!runsThrough(input)) broken.push_back(input);
    }
    std::cout << inputs.size() << " inputs replayed, " << broken.size() << " broke the target\n";
    for (const fs::path& input : broken) std::cout << "  " << input.string() << '\n';
    return broken.empty() ? 0 : 1;
}
