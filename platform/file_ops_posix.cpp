#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_ops.h"

namespace platform {

bool folder_exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool file_exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && !S_ISDIR(st.st_mode);
}

// All or nothing, as on Windows: written and flushed under a scratch name,
// then named.
CopyOnce copy_file_once(const char* from, const char* to) {
    if (file_exists(to)) return CopyOnce::already_there;
    std::string bytes, part = std::string(to) + ".partial";
    bool ok = read_file(from, &bytes) && write_file(part.c_str(), bytes) && rename(part.c_str(), to) == 0;
    if (ok) return CopyOnce::copied;
    int e = errno;
    unlink(part.c_str());
    errno = e;
    return CopyOnce::failed;
}

bool replace_file(const char* from, const char* to) { return rename(from, to) == 0; }

bool remove_file(const char* path) { return unlink(path) == 0; }

bool read_file(const char* path, std::string* bytes) {
    int in = open(path, O_RDONLY);
    if (in < 0) return false;
    bytes->clear();
    char buf[8192];
    ssize_t n;
    while ((n = read(in, buf, sizeof buf)) > 0) bytes->append(buf, static_cast<size_t>(n));
    int e = errno;
    close(in);
    errno = e;
    return n == 0;
}

bool write_file(const char* path, const std::string& bytes) {
    int out = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(out, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == bytes.size() && fsync(out) == 0;
    int e = errno;
    if (close(out) != 0 && ok) return false;
    errno = e;
    return ok;
}

bool make_folders(const char* path) {
    std::string folder(path);
    // Each folder on the way down, then the folder itself.
    for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (at == std::string::npos) break;
    }
    return folder_exists(path);
}

bool system_path_to_utf8(const char* path, char* out, size_t size) {
    return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
}

void last_error_text(char* out, size_t size) { std::snprintf(out, size, "%s", std::strerror(errno)); }

}  // namespace platform
