#include "services/file_io.h"

#include "services/handles.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

// WriteFile and ReadFile count in 32 bits: large files go in pieces.
constexpr size_t kPiece = size_t(1) << 30;

bool write_all(HANDLE file, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size() - done, kPiece));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written != piece) return false;
        done += written;
    }
    return true;
}

std::string_view view_of(const Bytes& bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

HANDLE create_for_writing(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

FileRead read_whole_file(const std::wstring& path, std::string& out, std::uint64_t max_bytes) {
    out.clear();
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing : FileRead::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > max_bytes)
        return FileRead::Failed;
    try {
        out.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return FileRead::Failed;
    }
    // A file that shrank meanwhile gives what is there.
    size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        const DWORD piece = static_cast<DWORD>(std::min(out.size() - done, kPiece));
        if (!ReadFile(file.get(), out.data() + done, piece, &got, nullptr)) {
            out.clear();
            return FileRead::Failed;
        }
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    return FileRead::Ok;
}

// path's own name with a tag, while that fits; past it, a short name, cut to
// the room the folder leaves, the attempt first so that tries still differ.
std::wstring temporary_path(const std::wstring& path, unsigned long process, int attempt) {
    const std::wstring tag = std::to_wstring(process) + L"-" + std::to_wstring(attempt) + L".tmp";
    if (path.size() + 1 + tag.size() < MAX_PATH) return path + L"." + tag;
    const size_t folder = path.find_last_of(L"\\/") + 1;  // 0 without one
    std::wstring name = L"~" + std::to_wstring(attempt) + L"-" + std::to_wstring(process) + L".tmp";
    if (folder + name.size() >= MAX_PATH && folder + 1 < MAX_PATH) name.resize(MAX_PATH - 1 - folder);
    return path.substr(0, folder) + name;
}

bool write_file_atomic(const std::wstring& path, std::string_view bytes) {
    if (bytes.empty()) return false;
    std::wstring temp;
    ScopedHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = temporary_path(path, GetCurrentProcessId(), attempt);
        file.reset(create_for_writing(temp));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (!file) return false;
    bool ok = write_all(file.get(), bytes) && FlushFileBuffers(file.get());
    file.reset();
    ok = ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

bool write_file_atomic(const std::wstring& path, const Bytes& bytes) { return write_file_atomic(path, view_of(bytes)); }

bool create_new_file(const std::wstring& path, std::string_view bytes) {
    if (bytes.empty()) return false;
    ScopedHandle file(create_for_writing(path));
    if (!file) return false;
    const bool ok = write_all(file.get(), bytes);
    file.reset();
    if (!ok) {
        DeleteFileW(path.c_str());
        SetLastError(ERROR_WRITE_FAULT);
    }
    return ok;
}

bool create_new_file(const std::wstring& path, const Bytes& bytes) { return create_new_file(path, view_of(bytes)); }

bool rename_file(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}
