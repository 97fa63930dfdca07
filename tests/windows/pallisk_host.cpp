// A host program for the Windows build: loads KorvelPallisk.dll with the system's loader and
// checks what a host sees of it: the export table, the version record, the string table, the
// type library, the registration with the framework, and a real call of Pallisk.
// Run (after cmake --build --preset windows-x64): ctest --preset windows-x64 -R PalliskHost
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"
#include "platform/framework_testing.hpp"
#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace {

using PalliskFunction = std::int32_t(__stdcall*)(const wchar_t*, const wchar_t*, std::int32_t);
constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::wstring LibraryPath(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH * 4);
  const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  return std::wstring(path.data(), length);
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

class PalliskHost : public ::testing::Test {
 protected:
  void SetUp() override {
    korvel::framework::testing::Reset();
    // Found beside this program, as a host finds it.
    module_ = LoadLibraryW(L"KorvelPallisk.dll");
    ASSERT_NE(module_, nullptr) << "LoadLibraryW: error " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The raw bytes of a resource in US English, or empty.
  std::string Resource(const wchar_t* type, const wchar_t* name) const {
    HRSRC found = FindResourceExW(module_, type, name, kUsEnglish);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

TEST_F(PalliskHost, ExportsPalliskAsOrdinal1AndNothingElse) {
  const FARPROC byName = GetProcAddress(module_, "Pallisk");
  EXPECT_NE(byName, nullptr);
  EXPECT_EQ(byName, GetProcAddress(module_, MAKEINTRESOURCEA(1)));
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(2)), nullptr) << "have an ordinal 2";
  EXPECT_EQ(GetProcAddress(module_, "Pallisk@12"), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "_Pallisk@12"), nullptr);
}

TEST_F(PalliskHost, LoadRegistersWithTheFrameworkAndUnloadWithdraws) {
  // SetUp loaded the library; a second LoadLibraryW only counts a reference.
  using korvel::framework::testing::Call;
  using korvel::framework::testing::CallAt;
  using korvel::framework::testing::CallCount;
  using korvel::framework::testing::RegistrationCount;
  using korvel::framework::testing::RegistrationRecordAt;
  FreeLibrary(module_);
  module_ = nullptr;
  ASSERT_EQ(GetModuleHandleW(L"KorvelPallisk.dll"), nullptr) << "still loaded";
  korvel::framework::testing::Reset();

  module_ = LoadLibraryW(L"KorvelPallisk.dll");
  ASSERT_NE(module_, nullptr);
  ASSERT_EQ(CallCount(), 4u);
  EXPECT_EQ(CallAt(0).call, Call::kCurrentModuleState);
  EXPECT_EQ(CallAt(1).call, Call::kInitializeExtensionModule);
  EXPECT_EQ(CallAt(1).pointer, module_) << "the instance handle is the module handle";
  EXPECT_EQ(CallAt(2).call, Call::kAllocate);
  EXPECT_EQ(CallAt(2).bytes, 64u);
  EXPECT_EQ(CallAt(3).call, Call::kConstructLibraryRegistration);
  EXPECT_EQ(CallAt(3).record, CallAt(1).record);
  EXPECT_EQ(CallAt(3).flag, 0);
  ASSERT_EQ(RegistrationCount(), 1u);
  EXPECT_EQ(RegistrationRecordAt(0), CallAt(1).record);

  // The loader now tells the library of every new thread; nothing may change.
  HANDLE thread = CreateThread(
      nullptr, 0, [](void*) -> DWORD { return 0; }, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(CallCount(), 4u) << "a thread notification reached the framework";
  EXPECT_EQ(RegistrationCount(), 1u);

  const auto* const record = CallAt(1).record;
  EXPECT_TRUE(FreeLibrary(module_));
  module_ = nullptr;
  ASSERT_EQ(CallCount(), 5u);
  EXPECT_EQ(CallAt(4).call, Call::kTerminateExtensionModule);
  EXPECT_EQ(CallAt(4).record, record);
  EXPECT_EQ(CallAt(4).flag, 0);
  EXPECT_EQ(RegistrationCount(), 0u);
}

TEST_F(PalliskHost, VersionRecordFixedPart) {
  const std::wstring path = LibraryPath(module_);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 0x4u);
  EXPECT_EQ(fixed->dwFileType, 0x2u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u) << "one language and code page";
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
}

// One node of the version record's tree: length, value length, type, key, value, children.
struct VersionNode {
  std::wstring key;
  std::wstring text;  // the value up to its first NUL, for text nodes
  std::vector<VersionNode> children;
};

std::size_t Align4(std::size_t offset) {
  return (offset + 3) & ~std::size_t{3};
}

// Parses the node at `offset` of `data`; false when it runs past `end`.
bool ParseVersionNode(const std::string& data, std::size_t offset, std::size_t end,
                      VersionNode& node) {
  auto word = [&](std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) |
                                      static_cast<unsigned char>(data[at + 1]) << 8);
  };
  if (offset + 6 > end) return false;
  const std::size_t nodeEnd = offset + word(offset);
  const std::size_t valueLength = word(offset + 2);
  const bool isText = word(offset + 4) == 1;
  if (nodeEnd > end || nodeEnd < offset + 6) return false;
  std::size_t at = offset + 6;
  for (; at + 1 < nodeEnd && word(at) != 0; at += 2) node.key += static_cast<wchar_t>(word(at));
  at = Align4(at + 2);
  const std::size_t valueEnd = std::min(nodeEnd, at + (isText ? valueLength * 2 : valueLength));
  if (isText) {
    for (std::size_t v = at; v + 1 < valueEnd && word(v) != 0; v += 2) {
      node.text += static_cast<wchar_t>(word(v));
    }
  }
  for (at = Align4(valueEnd); at < nodeEnd; at = Align4(at)) {
    VersionNode child;
    if (!ParseVersionNode(data, at, nodeEnd, child)) return false;
    at += word(at);
    node.children.push_back(child);
  }
  return true;
}

TEST_F(PalliskHost, VersionRecordStringsInOrder) {
  const std::string data = Resource(MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(data.empty()) << "no US English version record";
  VersionNode root;
  ASSERT_TRUE(ParseVersionNode(data, 0, data.size(), root));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");

  const VersionNode* block = nullptr;
  for (const VersionNode& child : root.children) {
    if (child.key != L"StringFileInfo") continue;
    ASSERT_EQ(child.children.size(), 1u) << "one string block";
    block = &child.children[0];
  }
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->key, L"040904B0");

  struct Entry {
    const wchar_t* key;
    const wchar_t* value;  // null: any non-empty text
  };
  const Entry kWant[] = {
      {L"CompanyName", L""},
      {L"FileDescription", L"KorvelPallisk DLL"},
      {L"FileVersion", L"1, 0, 0, 1"},
      {L"InternalName", L"KorvelPallisk"},
      {L"LegalCopyright", nullptr},
      {L"LegalTrademarks", L""},
      {L"OriginalFilename", L"KorvelPallisk.DLL"},
      {L"ProductName", L"KorvelPallisk Dynamic Link Library"},
      {L"ProductVersion", L"1, 0, 0, 1"},
      {L"OLESelfRegister", L""},
  };
  ASSERT_EQ(block->children.size(), std::size(kWant));
  for (std::size_t i = 0; i < std::size(kWant); ++i) {
    const VersionNode& have = block->children[i];
    SCOPED_TRACE(Narrow(kWant[i].key));
    EXPECT_EQ(have.key, kWant[i].key) << "entry " << i;
    if (kWant[i].value != nullptr) {
      EXPECT_EQ(have.text, kWant[i].value);
    } else {
      EXPECT_FALSE(have.text.empty());
    }
  }
}

TEST_F(PalliskHost, StringTableHoldsString101) {
  wchar_t text[128] = {};
  const int length = LoadStringW(module_, 101, text, static_cast<int>(std::size(text)));
  EXPECT_EQ(std::wstring(text, static_cast<std::size_t>(length)),
            L"Windows sockets initialization failed.");
  EXPECT_EQ(LoadStringW(module_, 102, text, static_cast<int>(std::size(text))), 0);
  // String 101 lives in block 101 / 16 + 1 = 7, in US English.
  EXPECT_FALSE(Resource(MAKEINTRESOURCEW(6) /* RT_STRING */, MAKEINTRESOURCEW(7)).empty());
}

TEST_F(PalliskHost, TypeLibraryIsEmptyFor32BitWindows) {
  EXPECT_FALSE(Resource(L"TYPELIB", MAKEINTRESOURCEW(1)).empty()) << "no US English TYPELIB 1";

  ITypeLib* library = nullptr;
  const HRESULT loaded = LoadTypeLibEx(LibraryPath(module_).c_str(), REGKIND_NONE, &library);
  ASSERT_EQ(loaded, S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  // {5B0E4C63-2D1A-4E8F-9C47-7A3D2E9B41F6}, as in module/KorvelPallisk.idl.
  const GUID kGuid = {0x5B0E4C63, 0x2D1A, 0x4E8F, {0x9C, 0x47, 0x7A, 0x3D, 0x2E, 0x9B, 0x41, 0xF6}};
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kGuid));
  EXPECT_EQ(attributes->lcid, 0x0409u);
  EXPECT_EQ(attributes->syskind, SYS_WIN32);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);
  EXPECT_EQ(library->GetTypeInfoCount(), 0u);

  BSTR name = nullptr;
  BSTR help = nullptr;
  DWORD helpContext = 0;
  BSTR helpFile = nullptr;
  ASSERT_EQ(library->GetDocumentation(MEMBERID_NIL, &name, &help, &helpContext, &helpFile), S_OK);
  EXPECT_STREQ(name, L"KorvelPallisk");
  EXPECT_EQ(help, nullptr) << "have a help string";
  EXPECT_EQ(helpFile, nullptr) << "have a help file";
  SysFreeString(name);
  SysFreeString(help);
  SysFreeString(helpFile);
  library->Release();
}

class PalliskCall : public PalliskHost {
 protected:
  void SetUp() override {
    PalliskHost::SetUp();
    pallisk_ = reinterpret_cast<PalliskFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "Pallisk")));
    ASSERT_NE(pallisk_, nullptr);
    // A 2 x 2 picture of one colour: threshold 0 whitens all of it.
    korvel::test::BmpBuilder bmp;
    bmp.biWidth = 2;
    bmp.biHeight = 2;
    const std::string row = std::string("\x10\x20\x30\x10\x20\x30", 6) + std::string(2, '\0');
    bmp.pixelData = row + row;
    source_ = bmp.Build();
  }

  static std::wstring Wide(const std::string& path) {
    return std::filesystem::path(path).wstring();
  }

  // Every pixel of the written file is white.
  static void ExpectAllWhite(const std::string& path) {
    korvel::BitmapImage image;
    ASSERT_TRUE(image.LoadFromFile(path.c_str())) << path;
    EXPECT_EQ(image.BitDepth(), 24);
    for (std::int32_t row = 0; row < image.Height(); ++row) {
      for (std::int32_t column = 0; column < image.Width(); ++column) {
        const korvel::PixelBgra pixel = image.PixelValue(column, row);
        EXPECT_EQ(pixel.blue + pixel.green + pixel.red, 765) << column << ", " << row;
      }
    }
  }

  PalliskFunction pallisk_ = nullptr;
  std::string source_;
  korvel::test::TempDir dir_;
};

TEST_F(PalliskCall, WhitensAndWritesTheTarget) {
  korvel::test::WriteFileBytes(dir_.File("in.bmp"), source_);

  EXPECT_EQ(pallisk_(Wide(dir_.File("in.bmp")).c_str(), Wide(dir_.File("out.bmp")).c_str(), 0),
            999);
  ExpectAllWhite(dir_.File("out.bmp"));
}

TEST_F(PalliskCall, UnreadableSourceAnswers1AndWritesNothing) {
  EXPECT_EQ(pallisk_(Wide(dir_.File("missing.bmp")).c_str(), Wide(dir_.File("out.bmp")).c_str(), 0),
            1);
  EXPECT_FALSE(korvel::test::FileExists(dir_.File("out.bmp")));
  EXPECT_EQ(pallisk_(nullptr, Wide(dir_.File("out.bmp")).c_str(), 0), 1);
  EXPECT_FALSE(korvel::test::FileExists(dir_.File("out.bmp")));
}

TEST_F(PalliskCall, UnwritableTargetStillAnswers999) {
  korvel::test::WriteFileBytes(dir_.File("in.bmp"), source_);
  EXPECT_EQ(pallisk_(Wide(dir_.File("in.bmp")).c_str(), nullptr, 0), 999);
  EXPECT_EQ(pallisk_(Wide(dir_.File("in.bmp")).c_str(),
                     Wide(dir_.File("no-such-dir/out.bmp")).c_str(), 0),
            999);
}

TEST_F(PalliskCall, PathsReachTheFileFunctionsInTheAnsiCodePage) {
  // "é" exists in the Western ANSI code pages; elsewhere it becomes "?" and cannot be opened.
  const std::wstring name = L"caf\u00e9.bmp";
  char narrow[16] = {};
  BOOL defaulted = FALSE;
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, narrow, sizeof narrow, nullptr, &defaulted);
  const std::wstring source = Wide(dir_.path()) + L"\\" + name;
  FILE* file = _wfopen(source.c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(source_.data(), 1, source_.size(), file);
  std::fclose(file);

  const std::int32_t result = pallisk_(source.c_str(), Wide(dir_.File("out.bmp")).c_str(), 0);
  if (defaulted) {
    EXPECT_EQ(result, 1) << "code page " << GetACP() << " has no e-acute";
  } else {
    EXPECT_EQ(result, 999) << "code page " << GetACP();
    ExpectAllWhite(dir_.File("out.bmp"));
  }
}

}  // namespace
