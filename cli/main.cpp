// pairscout-cli: the duplicate search without a window.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <clocale>
#include <csignal>
#include <cstdio>

#include "cli/cli_options.h"
#include "cli/terminal_progress.h"
#include "engine/engine_strings.h"

namespace {

volatile std::sig_atomic_t g_cancel = 0;

extern "C" void OnInterrupt(int) { g_cancel = 1; }

}  // namespace

int main(int argc, char** argv) {
    // Dates and times are read and written in the user's locale.
    std::setlocale(LC_ALL, "");
#ifdef _WIN32
    // Bytes out as they are: CSV rows carry their own CR LF, which text mode would turn into
    // CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, &options, &error)) {
        std::fprintf(stderr, "pairscout-cli: %s\nTry 'pairscout-cli --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(CliUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(CliVersionText().c_str(), stdout);
        return 0;
    }

    // Ctrl+C stops the search as the window's Cancel button does.
#ifdef _WIN32
    std::signal(SIGINT, OnInterrupt);
#else
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif

    TerminalProgress progress(stderr, isatty(STDERR_FILENO) != 0, &g_cancel);
    DuplicateSearch search(&progress);
    ResultsModel results;
    const DuplicateSearch::Outcome outcome = search.Run(options.search, results);
    progress.Clear();

    if (outcome == DuplicateSearch::kFinished) {
        const std::string text = FormatResults(results, options.csv);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        std::string summary = SummaryText(results.DuplicateCount(), results.DuplicateBytes());
        if (summary.empty()) summary = LoadStringText(IDS_IDLE_MESSAGE);
        std::fprintf(stderr, "%s\n", summary.c_str());
    }
    return g_cancel ? 130 : 0;
}
