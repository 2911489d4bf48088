// The suites compare what the programs they start write with the table's original texts: unless
// a test picks a language itself, the programs run in Chinese whatever the machine's locale.
#include <cstdlib>

namespace {

int UseOriginalTextsInChildren() {
    if (std::getenv("PAIRSCOUT_LANG") != nullptr) return 0;
#ifdef _WIN32
    return _putenv_s("PAIRSCOUT_LANG", "zh_CN");
#else
    return setenv("PAIRSCOUT_LANG", "zh_CN", 0);
#endif
}

const int kOriginalTexts = UseOriginalTextsInChildren();

}  // namespace
