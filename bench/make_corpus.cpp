// Writes the batch benchmarks' corpus, the same bytes on every run:
//   tree/    ~20,000 text files of 1-20 KB in nested folders, LF or CR LF,
//            about a fifth of them holding the find text a few times;
//   big.txt  one 200 MB file with the find text here and there;
//   dense.txt one 50 MB file with the find text about every 25 bytes.
// Usage: make_corpus FOLDER

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr char kFindText[] = "varnexneedle";
constexpr const char* kWords[] = {"alpha", "beta",  "gamma", "delta", "file",  "text",  "line",   "word",
                                  "value", "item",  "list",  "path",  "data",  "table", "record", "entry",
                                  "the",   "of",    "and",   "to",    "in",    "is",    "for",    "with"};

class Writer {
 public:
  explicit Writer(std::uint64_t seed) : random_(seed) {}

  // About `size` bytes of lines of words; the find text is put in with the
  // given chance per word.
  std::string Text(std::size_t size, double findChance, bool crlf) {
    std::string text;
    text.reserve(size + 128);
    std::size_t lineStart = 0;
    std::bernoulli_distribution plant(findChance);
    while (text.size() < size) {
      text += plant(random_) ? kFindText : kWords[random_() % std::size(kWords)];
      if (text.size() - lineStart > 60 + random_() % 20) {
        text += crlf ? "\r\n" : "\n";
        lineStart = text.size();
      } else {
        text += ' ';
      }
    }
    return text;
  }

  std::mt19937_64& Random() { return random_; }

 private:
  std::mt19937_64 random_;
};

void Save(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  Writer writer(20261207);
  int holding = 0;
  for (int top = 0; top < 20; ++top) {
    for (int sub = 0; sub < 10; ++sub) {
      const std::filesystem::path folder = root / "tree" / ("d" + std::to_string(top)) / ("s" + std::to_string(sub));
      std::filesystem::create_directories(folder);
      for (int file = 0; file < 100; ++file) {
        const std::size_t size = 1024 + writer.Random()() % (19 * 1024);
        const bool holds = writer.Random()() % 5 == 0;
        holding += holds;
        // One to five occurrences in a file that holds the find text.
        const double chance = holds ? (1 + writer.Random()() % 5) / (size / 6.0) : 0.0;
        std::string text = writer.Text(size, chance, writer.Random()() % 2 == 0);
        if (holds && text.find(kFindText) == std::string::npos) text.insert(text.size() / 2, kFindText);
        Save(folder / ("file" + std::to_string(file) + ".txt"), text);
      }
    }
  }
  Save(root / "big.txt", writer.Text(200u << 20, 1e-5, true));
  Save(root / "dense.txt", writer.Text(50u << 20, 0.25, false));
  std::printf("corpus in %s: 20000 files (%d holding \"%s\"), big.txt, dense.txt\n", argv[1], holding, kFindText);
}
