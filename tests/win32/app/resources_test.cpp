// The resources of the built tamblin.exe: its icon group, version block and manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// Resource files are read as data, without running anything in them.
class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_ = LoadLibraryExA(TAMBLIN_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() { FreeLibrary(program_); }
  void SetUp() override { ASSERT_NE(program_, nullptr) << "cannot open " << TAMBLIN_EXE; }

  static std::string resource(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(program_, name, type);
    if (found == nullptr) return {};
    const void* data = LockResource(LoadResource(program_, found));
    return std::string(static_cast<const char*>(data), SizeofResource(program_, found));
  }

  static HMODULE program_;
};
HMODULE ProgramResources::program_ = nullptr;

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(ProgramResources, IconGroupHolds16_32And48PixelImages) {
  const std::string group = resource("DEFAULT_ICON", RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  WORD count = 0;
  std::memcpy(&count, group.data() + 4, sizeof count);
  ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconEntry));
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    GroupIconEntry entry{};
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_EQ(entry.bitCount, 32);
    sizes.insert(entry.width);
    EXPECT_FALSE(resource(MAKEINTRESOURCEA(entry.id), RT_ICON).empty()) << "image " << entry.id;
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));
}

TEST_F(ProgramResources, FileAndProductVersionAre1000) {
  const std::string block = resource(MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  const DWORD signature = VS_FFI_SIGNATURE;
  const auto at = block.find(std::string(reinterpret_cast<const char*>(&signature), sizeof signature));
  ASSERT_NE(at, std::string::npos);
  VS_FIXEDFILEINFO info{};
  ASSERT_GE(block.size(), at + sizeof info);
  std::memcpy(&info, block.data() + at, sizeof info);
  EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwFileVersionLS, 0u);
  EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwProductVersionLS, 0u);
  EXPECT_EQ(info.dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ProgramResources, ManifestAsksForPerMonitorV2WithSystemAwareFallback) {
  const std::string manifest = resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find(">PerMonitorV2</dpiAwareness>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
}

}  // namespace
