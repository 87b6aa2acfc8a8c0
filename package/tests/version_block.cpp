// version-block <file.exe>...: prints what Windows shows of each file under
// Properties > Details, read the way Explorer reads it (GetFileVersionInfo,
// the string table named by the file's own translation entry), and the
// manifest Windows applies when it starts the program. One "Name=value"
// line each; the release test compares them with the build's version.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const wchar_t* text, int length = -1) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();  // the terminator
  return out;
}

std::wstring wide(const char* text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring out(size > 0 ? size : 0, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), size);
  if (!out.empty()) out.pop_back();
  return out;
}

void print_fixed_version(const char* name, DWORD high, DWORD low) {
  std::printf("%s=%u.%u.%u.%u\n", name, unsigned(HIWORD(high)), unsigned(LOWORD(high)), unsigned(HIWORD(low)),
              unsigned(LOWORD(low)));
}

bool print_version_block(const std::wstring& file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return false;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
      length >= sizeof(*fixed) && fixed->dwSignature == 0xFEEF04BD) {
    print_fixed_version("FixedFileVersion", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    print_fixed_version("FixedProductVersion", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }

  // The strings are found only through the translation the file declares.
  WORD* translation = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) || length < 2 * sizeof(WORD))
    return true;
  const wchar_t* names[] = {L"ProductName",    L"ProductVersion",   L"FileDescription", L"FileVersion",
                            L"LegalCopyright", L"OriginalFilename", L"InternalName",    L"CompanyName"};
  for (const wchar_t* name : names) {
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    wchar_t* value = nullptr;
    if (VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length) && length > 0)
      std::printf("%s=%s\n", utf8(name).c_str(), utf8(value).c_str());
  }
  return true;
}

void print_manifest(const std::wstring& file) {
  HMODULE image = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return;
  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
  const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (text) {
    // One line: the manifest's line breaks become blanks.
    std::string line(text, SizeofResource(image, found));
    for (char& c : line)
      if (c == '\r' || c == '\n') c = ' ';
    std::printf("Manifest=%s\n", line.c_str());
  }
  FreeLibrary(image);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: version-block <file.exe>...\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::printf("File=%s\n", argv[i]);
    std::wstring file = wide(argv[i]);
    if (!print_version_block(file)) {
      std::printf("Error=no version information\n");
      status = 1;
    }
    print_manifest(file);
  }
  std::fflush(stdout);
  return status;
}
