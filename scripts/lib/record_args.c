/* A stand-in emulator for Windows: appends its working folder, its arguments (one a line, as the
 * C runtime splits the command line that CreateProcess passed) and a line "--" to record.txt
 * beside itself, in UTF-8 and in one write.
 *
 * Build: x86_64-w64-mingw32-gcc-posix -O2 -static -municode -o "record args.exe" record_args.c */
#include <wchar.h>
#include <windows.h>

static char text[65536];
static size_t used;

static void Append(const wchar_t* line) {
  int room = (int)(sizeof text - used - 4);
  int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, text + used, room, NULL, NULL);
  if (n > 0) used += (size_t)n - 1;
  text[used++] = '\n';
}

int wmain(int argc, wchar_t** argv) {
  wchar_t folder[MAX_PATH], record[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  Append(folder);
  for (int i = 1; i < argc; ++i) Append(argv[i]);
  Append(L"--");

  GetModuleFileNameW(NULL, record, MAX_PATH);
  wchar_t* slash = wcsrchr(record, L'\\');
  if (slash == NULL) return 1;
  wcscpy(slash + 1, L"record.txt");
  HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text, (DWORD)used, &written, NULL);
  CloseHandle(file);
  return ok && written == used ? 0 : 1;
}
