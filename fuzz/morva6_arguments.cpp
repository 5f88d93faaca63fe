// processArguments of the sample driver; the words are the input split at
// zero bytes.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "morva6/sample/arguments.h"
#include "tests/support/morva6_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMaxWords = 40;
    std::vector<std::string> words = {"Morva6_render"};
    std::string word;
    for (const char c : fuzz::as_text(fuzz::Bytes(data, size))) {
        if (c != '\0') {
            word += c;
            continue;
        }
        words.push_back(word);
        word.clear();
        if (words.size() > kMaxWords) return FUZZ_RESULT(fuzz::kSkipped);
    }
    if (!word.empty()) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);

    resetSettings();
    const int status = processArguments(static_cast<int>(words.size()), argv.data());
    resetSettings();  // the paths pointed into `words`
    return FUZZ_RESULT(status);
}
