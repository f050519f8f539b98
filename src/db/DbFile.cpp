#include "db/DbFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace tovu {

bool DbFile::readExact(void* buffer, size_t size) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const int64_t got = read(out, size);
        if (got <= 0) return false;
        out += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

PosixDbFile::~PosixDbFile() { close(); }

bool PosixDbFile::open(const std::string& path, Mode mode) {
    close();
    // Only a regular file is opened: anything else already there is refused before it is opened,
    // as opening some devices acts on them. The check is repeated on the opened descriptor, which
    // is opened without blocking, so that a FIFO swapped in meanwhile cannot stall us.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    const int how = mode == Mode::ReadOnly ? O_RDONLY : mode == Mode::ReadWrite ? O_RDWR : (O_RDWR | O_CREAT);
    const int fd = ::open(path.c_str(), how | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        errno = EINVAL;
        return false;
    }
    fd_ = fd;
    return true;
}

void PosixDbFile::adopt(int fd) {
    close();
    fd_ = fd;
}

bool PosixDbFile::sync() { return fd_ >= 0 && fsync(fd_) == 0; }

bool PosixDbFile::close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

bool PosixDbFile::seek(uint64_t offset) {
    return fd_ >= 0 && lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

int64_t PosixDbFile::read(void* buffer, size_t size) {
    if (fd_ < 0) return -1;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

bool PosixDbFile::write(const void* buffer, size_t size) {
    if (fd_ < 0) return false;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t put = ::write(fd_, in, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        in += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

int64_t PosixDbFile::length() {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool MemoryDbFile::seek(uint64_t offset) {
    position_ = offset;
    return true;
}

int64_t MemoryDbFile::read(void* buffer, size_t size) {
    if (position_ >= bytes_.size()) return 0;
    const size_t n = std::min<size_t>(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int64_t>(n);
}

bool MemoryDbFile::write(const void* buffer, size_t size) {
    if (size == 0) return true;
    if (bytes_.size() < position_ + size) bytes_.resize(position_ + size, 0);
    std::memcpy(bytes_.data() + position_, buffer, size);
    position_ += size;
    return true;
}

}  // namespace tovu
