// Search speed on 1920 x 1080 screens: every kernel against memchr over the same pixel block (the
// stand-in for the speed at which the machine reads the bytes at all) and against the scalar
// reference, all measured in one run, then printed as one table.
//
//   tamblin_search_bench [--screens=DIR] [--quick] [google benchmark flags]
//
// DIR (default $TAMBLIN_BENCH_SCREENS, else ../shared/bench beside the source tree) holds the two
// real screens desktop-1920x1080.bmp and photo-1920x1080.bmp; without them only the screens built
// here are measured.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/bitmap_layout.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/kernels/dispatch.hpp"

namespace {

using tamblin::ByteArray;
using tamblin::ByteView;
using tamblin::Colour;
using tamblin::ImagePoint;
using tamblin::kernels::Kernel;

constexpr int kWidth = 1920, kHeight = 1080;

// ---------------------------------------------------------------------------------------------
// Screens

struct Screen {
  std::string name;
  bool real = false;
  ByteArray image;
  ByteView pixels() const { return ByteView(image).subspan(tamblin::kPrefixSize); }
  int bytesPerPixel() const { return static_cast<int>(tamblin::imageFigures(image)->bytesPerPixel); }
};

std::optional<ByteArray> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Colour values of a picture, row 1 (top) first.
struct Picture {
  std::vector<Colour> colours = std::vector<Colour>(static_cast<std::size_t>(kWidth) * kHeight);
  Colour& at(int x, int y) { return colours[static_cast<std::size_t>(y - 1) * kWidth + static_cast<std::size_t>(x - 1)]; }
};

Picture pictureOf(const ByteArray& image) {
  Picture picture;
  for (int y = 1; y <= kHeight; ++y) {
    for (int x = 1; x <= kWidth; ++x) picture.at(x, y) = tamblin::getImagePixel(image, x, y);
  }
  return picture;
}

ByteArray imageOf(Picture& picture, int bytesPerPixel) {
  const std::int64_t stride = tamblin::rowStride(kWidth, bytesPerPixel);
  ByteArray block(static_cast<std::size_t>(stride * kHeight), 0);
  for (int y = 1; y <= kHeight; ++y) {
    for (int x = 1; x <= kWidth; ++x) {
      const auto at = static_cast<std::size_t>(stride * (kHeight - y) + bytesPerPixel * (x - 1));
      const Colour c = picture.at(x, y);
      block[at] = static_cast<std::uint8_t>(tamblin::blueOf(c));
      block[at + 1] = static_cast<std::uint8_t>(tamblin::greenOf(c));
      block[at + 2] = static_cast<std::uint8_t>(tamblin::redOf(c));
    }
  }
  return tamblin::makeBitmapImage(kWidth, kHeight, static_cast<std::uint16_t>(8 * bytesPerPixel), block);
}

// The adversarial screens share a feature near the top: a 96 x 40 patch of a few strong colours
// at columns 1700-1795, rows 4-43, and one lone pixel at (1900, 2). Everything the searches find
// on them lies there, late in the bottom-up search order.
constexpr Colour kBackground = tamblin::makeColour(240, 240, 240);
constexpr Colour kDark = tamblin::makeColour(30, 30, 30);
constexpr Colour kLone = tamblin::makeColour(0, 100, 200);
// Differs by more than 40 in some component from every colour of those screens.
constexpr Colour kAbsent = tamblin::makeColour(90, 210, 90);
constexpr int kPatchX = 1700, kPatchY = 4, kPatchWidth = 96, kPatchHeight = 40;

void plantFeature(Picture& picture) {
  const Colour palette[] = {tamblin::makeColour(0, 0, 0), tamblin::makeColour(160, 30, 30),
                            tamblin::makeColour(30, 160, 30), tamblin::makeColour(30, 30, 160),
                            tamblin::makeColour(255, 255, 255)};
  std::mt19937 rng(1234u);
  for (int y = kPatchY; y < kPatchY + kPatchHeight; ++y) {
    for (int x = kPatchX; x < kPatchX + kPatchWidth; ++x) picture.at(x, y) = palette[rng() % 5];
  }
  picture.at(1900, 2) = kLone;
}

Picture flatPicture() {
  Picture picture;
  std::fill(picture.colours.begin(), picture.colours.end(), kBackground);
  plantFeature(picture);
  return picture;
}

Picture checkerPicture() {
  Picture picture;
  for (int y = 1; y <= kHeight; ++y) {
    for (int x = 1; x <= kWidth; ++x) picture.at(x, y) = (x + y) % 2 ? kDark : kBackground;
  }
  plantFeature(picture);
  return picture;
}

// ---------------------------------------------------------------------------------------------
// Cases

struct Case {
  std::string screen;
  bool real = false;
  std::string search;  // "colour" or "image WxH"
  std::string what;    // "absent" or "near top"
  int tolerance = 0;
  ImagePoint answer;
  std::function<ImagePoint(Kernel)> run;
};

// A needle image: w x h pixels cut from picture at (x, y) (its top-left), at the screen's depth.
ByteArray cut(const Screen& screen, int x, int y, int w, int h) {
  const auto figures = *tamblin::imageFigures(screen.image);
  const int b = static_cast<int>(figures.bytesPerPixel);
  const std::int64_t stride = tamblin::rowStride(w, b);
  ByteArray block(static_cast<std::size_t>(stride * h), 0);
  for (int row = 0; row < h; ++row) {
    // Stored row r of the needle is its picture row h - r, picture row y + h - 1 - r of the screen.
    const std::int64_t from = figures.stride * (kHeight - (y + h - 1 - row)) + b * (x - 1);
    std::memcpy(block.data() + stride * row, screen.pixels().data() + from, static_cast<std::size_t>(w * b));
  }
  return tamblin::makeBitmapImage(w, h, static_cast<std::uint16_t>(8 * b), block);
}

// Puts colour into pixel (x, 1) of a needle's bottom row.
void paint(ByteArray& needle, int x, Colour colour) {
  const auto figures = *tamblin::imageFigures(needle);
  const std::size_t at = tamblin::kPrefixSize + static_cast<std::size_t>(figures.bytesPerPixel * (x - 1));
  needle[at] = static_cast<std::uint8_t>(tamblin::blueOf(colour));
  needle[at + 1] = static_cast<std::uint8_t>(tamblin::greenOf(colour));
  needle[at + 2] = static_cast<std::uint8_t>(tamblin::redOf(colour));
}

ImagePoint findImage(const Screen& s, const ByteArray& needle, int tolerance) {
  return tamblin::kernels::findImageFast(s.image, needle, tolerance, {});
}

// Of a few needles cut near the top, the one found last in the search order (the highest answer);
// nullopt when every one is found far below the top.
std::optional<ByteArray> nearTopNeedle(const Screen& s, int w, int h, int tolerance, ImagePoint& answer) {
  std::optional<ByteArray> best;
  int bestY = kHeight + 1;
  for (int x = 37; x + w <= kWidth; x += 211) {
    for (int y = 3; y <= 60; y += 19) {
      ByteArray needle = cut(s, x, y, w, h);
      const ImagePoint found = findImage(s, needle, tolerance);
      if (found.y >= 1 && found.y < bestY) {
        bestY = found.y;
        best = std::move(needle);
        answer = found;
      }
    }
  }
  return best;
}

// A needle that occurs nowhere: cut from another screen, or else a cut with a foreign pixel.
std::optional<ByteArray> absentNeedle(const Screen& s, const Screen* other, int w, int h, int tolerance) {
  if (other) {
    for (int x = 101; x + w <= kWidth; x += 397) {
      for (int y = 200; y + h <= kHeight; y += 301) {
        ByteArray needle = cut(*other, x, y, w, h);
        if (findImage(s, needle, tolerance) == tamblin::kNotFound) return needle;
      }
    }
  }
  for (int x = 1; x + w <= kWidth; x += 97) {
    ByteArray needle = cut(s, x, 500, w, h);
    paint(needle, (w + 1) / 2, kAbsent);
    if (findImage(s, needle, tolerance) == tamblin::kNotFound) return needle;
  }
  return std::nullopt;
}

// On the checkerboard every byte of the needle below occurs everywhere: its bottom row follows the
// pattern, slips by one pixel halfway, and so occurs nowhere.
ByteArray slippedNeedle(const Screen& s, int w, int h) {
  const int top = 600, bottom = top + h - 1;
  ByteArray needle = cut(s, 1, top, w, h);
  if (w > 1) {
    // The checkerboard's pixel (x, y) is dark when x + y is odd. Its stored rows already meet with
    // two pixels of one colour, so the slip here repeats one colour three times.
    auto colourAt = [&](int x) { return (x + bottom) % 2 ? kDark : kBackground; };
    const int half = w / 2;
    std::vector<Colour> row(static_cast<std::size_t>(w) + 1);
    for (int x = 1; x <= w; ++x) {
      const Colour before = row[static_cast<std::size_t>(x) - 1];
      row[static_cast<std::size_t>(x)] = x <= half ? colourAt(x) : x <= half + 2 ? colourAt(half) : before == kDark ? kBackground : kDark;
      if (x > half) paint(needle, x, row[static_cast<std::size_t>(x)]);
    }
  } else {
    paint(needle, 1, kAbsent);
  }
  return needle;
}

// A colour absent within tolerance, for the real screens found by trying a coarse grid.
std::optional<Colour> absentColour(const Screen& s, int tolerance) {
  if (!s.real) return kAbsent;
  for (int r = 0; r < 256; r += 17) {
    for (int g = 255; g >= 0; g -= 17) {
      for (int b = 0; b < 256; b += 17) {
        const Colour c = tamblin::makeColour(r, g, b);
        if (tamblin::kernels::findColourFast(s.image, c, tolerance, {}) == tamblin::kNotFound) return c;
      }
    }
  }
  return std::nullopt;
}

// Colours in the order of how high their first pixel in search order lies, highest first: the
// candidates for a colour (or a 1 x 1 needle) found late.
std::vector<Colour> coloursFoundLate(const Screen& s) {
  std::unordered_map<Colour, int> firstRow;  // picture row of the first pixel in search order
  for (int y = kHeight; y >= 1; --y) {
    for (int x = 1; x <= kWidth; ++x) firstRow.emplace(tamblin::getImagePixel(s.image, x, y), y);
  }
  std::vector<std::pair<int, Colour>> order;
  for (const auto& [colour, row] : firstRow) order.emplace_back(row, colour);
  std::sort(order.begin(), order.end());
  std::vector<Colour> colours;
  for (std::size_t i = 0; i < order.size() && i < 64; ++i) colours.push_back(order[i].second);
  return colours;
}

// Of those, the one whose first match at this tolerance is highest.
template <typename Search>
std::optional<Colour> latestOf(const std::vector<Colour>& candidates, Search search, ImagePoint& answer) {
  std::optional<Colour> best;
  int bestY = kHeight + 1;
  for (const Colour c : candidates) {
    const ImagePoint found = search(c);
    if (found.y >= 1 && found.y < bestY) {
      bestY = found.y;
      best = c;
      answer = found;
    }
  }
  return best;
}

std::optional<Colour> colourNearTop(const Screen& s, const std::vector<Colour>& late, int tolerance,
                                    ImagePoint& answer) {
  if (!s.real) {
    answer = tamblin::kernels::findColourFast(s.image, kLone, tolerance, {});
    return kLone;
  }
  return latestOf(
      late, [&](Colour c) { return tamblin::kernels::findColourFast(s.image, c, tolerance, {}); }, answer);
}

ByteArray pixelNeedle(const Screen& s, Colour colour) {
  const int b = s.bytesPerPixel();
  ByteArray block(4, 0);
  ByteArray needle = tamblin::makeBitmapImage(1, 1, static_cast<std::uint16_t>(8 * b), block);
  paint(needle, 1, colour);
  return needle;
}

std::vector<Case> casesFor(const std::shared_ptr<const Screen>& screen, const Screen* other) {
  std::vector<Case> cases;
  const Screen& s = *screen;
  const std::vector<Colour> late = s.real ? coloursFoundLate(s) : std::vector<Colour>{};
  for (const int tolerance : {0, 8, 40}) {
    Case base;
    base.screen = s.name;
    base.real = s.real;
    base.tolerance = tolerance;
    if (const auto colour = absentColour(s, tolerance)) {
      Case c = base;
      c.search = "colour";
      c.what = "absent";
      c.answer = tamblin::kNotFound;
      c.run = [screen, colour = *colour, tolerance](Kernel k) {
        return tamblin::kernels::findColourWith(k, screen->image, colour, tolerance, {});
      };
      cases.push_back(c);
    }
    ImagePoint answer;
    if (const auto colour = colourNearTop(s, late, tolerance, answer)) {
      Case c = base;
      c.search = "colour";
      c.what = "near top";
      c.answer = answer;
      c.run = [screen, colour = *colour, tolerance](Kernel k) {
        return tamblin::kernels::findColourWith(k, screen->image, colour, tolerance, {});
      };
      cases.push_back(c);
    }
  }
  struct Size {
    int w, h;
  };
  for (const Size size : {Size{1, 1}, Size{16, 16}, Size{64, 32}}) {
    for (const int tolerance : {0, 8, 40}) {
      Case base;
      base.screen = s.name;
      base.real = s.real;
      base.tolerance = tolerance;
      base.search = "image " + std::to_string(size.w) + "x" + std::to_string(size.h);
      auto add = [&](const std::string& what, std::shared_ptr<const ByteArray> needle, ImagePoint answer) {
        Case c = base;
        c.what = what;
        c.answer = answer;
        c.run = [screen, needle, tolerance](Kernel k) {
          return tamblin::kernels::findImageWith(k, screen->image, *needle, tolerance, {});
        };
        cases.push_back(c);
      };
      ImagePoint answer;
      std::optional<ByteArray> found;
      if (s.real && size.w == 1) {
        const auto colour = latestOf(
            late, [&](Colour c) { return findImage(s, pixelNeedle(s, c), tolerance); }, answer);
        if (colour) found = pixelNeedle(s, *colour);
      } else if (s.real) {
        found = nearTopNeedle(s, size.w, size.h, tolerance, answer);
      } else {
        // Cut from the patch: its rows hold a few strong colours in no order.
        found = cut(s, kPatchX + 11, kPatchY + 2, size.w, std::min(size.h, kPatchHeight - 2));
        answer = findImage(s, *found, tolerance);
      }
      if (found) add("near top", std::make_shared<const ByteArray>(std::move(*found)), answer);
      if (auto absent = absentNeedle(s, other, size.w, size.h, tolerance)) {
        add("absent", std::make_shared<const ByteArray>(std::move(*absent)), tamblin::kNotFound);
      }
      if (s.name.rfind("checker", 0) == 0 && size.w > 1) {
        ByteArray slipped = slippedNeedle(s, size.w, size.h);
        if (findImage(s, slipped, tolerance) == tamblin::kNotFound) {
          add("absent, slipped", std::make_shared<const ByteArray>(std::move(slipped)), tamblin::kNotFound);
        }
      }
    }
  }
  return cases;
}

// ---------------------------------------------------------------------------------------------
// Measuring and the table

// memchr over the whole pixel block, searching for its rarest byte and going on after each hit.
std::size_t memchrScan(ByteView block, std::uint8_t value) {
  std::size_t hits = 0;
  const auto* at = block.data();
  const auto* end = block.data() + block.size();
  while (at < end) {
    const void* hit = std::memchr(at, value, static_cast<std::size_t>(end - at));
    if (!hit) break;
    ++hits;
    at = static_cast<const std::uint8_t*>(hit) + 1;
  }
  return hits;
}

std::uint8_t rarestByte(ByteView block) {
  std::vector<std::size_t> counts(256);
  for (const std::uint8_t b : block) ++counts[b];
  return static_cast<std::uint8_t>(std::min_element(counts.begin(), counts.end()) - counts.begin());
}

class CollectingReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    // The fastest repetition: on a shared machine the others mostly measure the neighbours.
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0 || run.run_type != Run::RT_Iteration) continue;
      const double t = run.real_accumulated_time / static_cast<double>(run.iterations);
      auto [it, fresh] = seconds.emplace(run.run_name.function_name, t);
      if (!fresh && t < it->second) it->second = t;
    }
    std::fprintf(stderr, ".");
  }
  std::map<std::string, double> seconds;
};

std::string pointText(ImagePoint p) {
  if (p == tamblin::kNotFound) return "-";
  return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

std::string screensDirectory(int& argc, char** argv) {
  std::string dir;
  if (const char* env = std::getenv("TAMBLIN_BENCH_SCREENS")) dir = env;
  if (dir.empty()) dir = std::string(TAMBLIN_SOURCE_DIR) + "/../shared/bench";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--screens=", 0) == 0) {
      dir = arg.substr(10);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return dir;
}

bool takeFlag(int& argc, char** argv, const std::string& flag) {
  bool seen = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (flag == argv[i]) {
      seen = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return seen;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = screensDirectory(argc, argv);
  const bool quick = takeFlag(argc, argv, "--quick");  // real screens only, no SSE2 column
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=3";
  if (std::none_of(args.begin(), args.end(), [](const char* a) { return std::strstr(a, "--benchmark_repetitions") != nullptr; })) {
    args.push_back(repetitions.data());
  }
  int argCount = static_cast<int>(args.size());
  benchmark::Initialize(&argCount, args.data());

  // Screens: the real ones as read and in 32-bit form, and the adversarial ones built here.
  std::vector<std::shared_ptr<const Screen>> screens;
  std::map<std::string, std::shared_ptr<const Screen>> otherOf;
  std::vector<std::shared_ptr<Screen>> realOnes;
  for (const std::string name : {"desktop", "photo"}) {
    const std::string path = dir + "/" + name + "-1920x1080.bmp";
    auto bytes = readFile(path);
    const auto figures = bytes ? tamblin::imageFigures(*bytes) : std::nullopt;
    if (!figures || figures->width != kWidth || figures->height != kHeight) {
      std::fprintf(stderr, "%s: no 1920 x 1080 screen there; its cases are skipped\n", path.c_str());
      continue;
    }
    auto screen = std::make_shared<Screen>(Screen{name + " 24", true, std::move(*bytes)});
    Picture picture = pictureOf(screen->image);
    auto wide = std::make_shared<Screen>(Screen{name + " 32", true, imageOf(picture, 4)});
    realOnes.push_back(screen);
    realOnes.push_back(wide);
  }
  for (const auto& s : realOnes) screens.push_back(s);
  if (!quick) {
    for (const int b : {3, 4}) {
      Picture flat = flatPicture();
      Picture checker = checkerPicture();
      screens.push_back(std::make_shared<Screen>(Screen{"flat " + std::to_string(8 * b), false, imageOf(flat, b)}));
      screens.push_back(
          std::make_shared<Screen>(Screen{"checker " + std::to_string(8 * b), false, imageOf(checker, b)}));
    }
  }

  std::vector<Kernel> kernels = {Kernel::Scalar};
  if (tamblin::kernels::kernelAvailable(Kernel::Sse2) && !quick) kernels.push_back(Kernel::Sse2);
  if (tamblin::kernels::kernelAvailable(Kernel::Avx2)) kernels.push_back(Kernel::Avx2);
  const Kernel best = tamblin::kernels::bestKernel();

  std::vector<Case> cases;
  for (const auto& screen : screens) {
    // The desktop's absent needles come from the photo at the same depth, and the other way round.
    const Screen* other = nullptr;
    for (const auto& candidate : screens) {
      if (candidate->real && candidate != screen && screen->real &&
          candidate->name.substr(candidate->name.size() - 2) == screen->name.substr(screen->name.size() - 2)) {
        other = candidate.get();
      }
    }
    std::fprintf(stderr, "preparing %s\n", screen->name.c_str());
    auto more = casesFor(screen, other);
    cases.insert(cases.end(), more.begin(), more.end());

    const std::uint8_t rare = rarestByte(screen->pixels());
    benchmark::RegisterBenchmark(("memchr/" + screen->name).c_str(), [screen, rare](benchmark::State& state) {
      for (auto _ : state) benchmark::DoNotOptimize(memchrScan(screen->pixels(), rare));
    })->UseRealTime()->MinTime(0.05);
  }

  // Every kernel must give the reference's answer before it is timed.
  int wrong = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    for (const Kernel k : kernels) {
      const ImagePoint got = c.run(k);
      if (got != c.answer) {
        std::fprintf(stderr, "WRONG: %s %s %s tolerance %d: %s gives %s, expected %s\n", c.screen.c_str(),
                     c.search.c_str(), c.what.c_str(), c.tolerance, tamblin::kernels::kernelName(k),
                     pointText(got).c_str(), pointText(c.answer).c_str());
        ++wrong;
      }
      const std::string name = "case" + std::to_string(i) + "/" + tamblin::kernels::kernelName(k);
      benchmark::RegisterBenchmark(name.c_str(), [run = c.run, k](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(run(k));
      })->UseRealTime()->MinTime(k == Kernel::Scalar ? 0.02 : 0.05);
    }
  }

  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fprintf(stderr, "\n");

  auto time = [&](const std::string& name) {
    const auto it = reporter.seconds.find(name);
    return it == reporter.seconds.end() ? 0.0 : it->second;
  };
  std::printf("| screen | search | case | tol | answer | memchr µs |");
  for (auto it = kernels.rbegin(); it != kernels.rend(); ++it) {
    if (*it == Kernel::Scalar) {
      std::printf(" scalar µs |");
    } else {
      std::printf(" %s µs | ×memchr | ×scalar |", tamblin::kernels::kernelName(*it));
    }
  }
  std::printf("\n|---|---|---|---|---|---|");
  for (const Kernel k : kernels) std::printf(k == Kernel::Scalar ? "---|" : "---|---|---|");
  std::printf("\n");

  int misses = 0, measured = 0;
  double worstReal = 0, worstAdversarial = 0, worstScalar = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const double memchrTime = time("memchr/" + c.screen);
    const double scalarTime = time("case" + std::to_string(i) + "/scalar");
    std::printf("| %s | %s | %s | %d | %s | %.0f |", c.screen.c_str(), c.search.c_str(), c.what.c_str(), c.tolerance,
                pointText(c.answer).c_str(), memchrTime * 1e6);
    for (auto it = kernels.rbegin(); it != kernels.rend(); ++it) {
      const double t = time("case" + std::to_string(i) + "/" + tamblin::kernels::kernelName(*it));
      if (*it == Kernel::Scalar) {
        std::printf(t < 1e-5 ? " %.2f |" : " %.0f |", t * 1e6);
        continue;
      }
      const double toMemchr = memchrTime > 0 ? t / memchrTime : 0;
      const double toScalar = scalarTime > 0 ? t / scalarTime : 0;
      std::string mark;
      if (*it == best) {
        ++measured;
        const double limit = c.real ? 2.0 : 8.0;
        (c.real ? worstReal : worstAdversarial) = std::max(c.real ? worstReal : worstAdversarial, toMemchr);
        worstScalar = std::max(worstScalar, toScalar);
        // Calls that end within the first pixels take some 30 to 60 ns, nearly all of it the
        // header reading that both sides share; below 20 ns apart they count as equal.
        const bool slowerThanScalar = toScalar > 1.0 && t - scalarTime > 20e-9;
        if (toMemchr > limit || slowerThanScalar) {
          mark = " **miss**";
          ++misses;
        }
      }
      std::printf(t < 1e-5 ? " %.2f | %.3f%s | %.3f |" : " %.0f | %.2f%s | %.3f |", t * 1e6, toMemchr, mark.c_str(),
                  toScalar);
    }
    std::printf("\n");
  }
  std::printf("\nKernel chosen on this CPU: %s. Targets, judged on it: real screens at most 2 x memchr "
              "(worst %.2f), built screens at most 8 x memchr (worst %.2f), never slower than the scalar "
              "reference, within 20 ns (worst ratio %.3f).\n",
              tamblin::kernels::kernelName(best), worstReal, worstAdversarial, worstScalar);
  std::printf("%d of %d cases miss a target; %d wrong answers.\n", misses, measured, wrong);
  return wrong == 0 ? 0 : 1;
}
