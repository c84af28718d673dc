// Build step: turns the launcher script into a launcher image of a fixed
// size, with the product-word slot at its fixed offset holding the
// placeholder. Usage: make_launcher_image SCRIPT IMAGE...
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr size_t kImageSize = 36864;
constexpr size_t kProductWordOffset = 29328;
constexpr size_t kProductWordSize = 9;
constexpr char kPlaceholder[] = "NOFLAG";

bool Fail(const std::string& why) {
    std::fprintf(stderr, "make_launcher_image: %s\n", why.c_str());
    return false;
}

// The script must stop before anything that is not script text.
bool CheckScript(const std::string& script) {
    if (script.size() >= kProductWordOffset)
        return Fail("the script is " + std::to_string(script.size()) +
                    " bytes; it must end before the product word at " +
                    std::to_string(kProductWordOffset));
    if (script.find('\0') != std::string::npos) return Fail("the script holds a zero byte");
    std::string tail = script;
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == ' ')) tail.pop_back();
    size_t lineStart = tail.rfind('\n');
    std::string lastLine = tail.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
    if (lastLine != "exit") return Fail("the script's last line must be \"exit\"");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        Fail("usage: make_launcher_image SCRIPT IMAGE...");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        Fail(std::string("cannot read ") + argv[1]);
        return 1;
    }
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!CheckScript(script)) return 1;

    std::vector<char> image(kImageSize, '\0');
    std::copy(script.begin(), script.end(), image.begin());
    std::copy(kPlaceholder, kPlaceholder + sizeof kPlaceholder - 1, image.begin() + kProductWordOffset);
    static_assert(sizeof kPlaceholder - 1 < kProductWordSize);

    for (int i = 2; i < argc; ++i) {
        std::ofstream out(argv[i], std::ios::binary | std::ios::trunc);
        out.write(image.data(), std::streamsize(image.size()));
        if (!out.flush()) {
            Fail(std::string("cannot write ") + argv[i]);
            return 1;
        }
    }
    return 0;
}
