// The random-access binary file that loading, saving and the transfers work on.
// PosixDbFile is a real file; MemoryDbFile keeps the bytes in memory (tools, fuzzing, tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tovu {

class DbFile {
public:
    virtual ~DbFile() = default;
    // Position for the next read or write; seeking beyond the end is allowed (a later write fills
    // the gap with zeros).
    [[nodiscard]] virtual bool seek(uint64_t offset) = 0;
    // Reads up to `size` bytes; the number read, 0 at the end, -1 on an error.
    [[nodiscard]] virtual int64_t read(void* buffer, size_t size) = 0;
    // Writes all `size` bytes or reports failure.
    [[nodiscard]] virtual bool write(const void* buffer, size_t size) = 0;
    // The file's present length, -1 on an error.
    [[nodiscard]] virtual int64_t length() = 0;

    // Reads exactly `size` bytes or reports failure.
    [[nodiscard]] bool readExact(void* buffer, size_t size);
};

class PosixDbFile final : public DbFile {
public:
    enum class Mode { ReadOnly, ReadWrite, ReadWriteCreate };
    PosixDbFile() = default;
    ~PosixDbFile() override;
    PosixDbFile(const PosixDbFile&) = delete;
    PosixDbFile& operator=(const PosixDbFile&) = delete;

    // Opens a regular file; a folder, device, FIFO or socket counts as a file that cannot be
    // opened (errno EINVAL), and opening one never waits for a writer or a device.
    [[nodiscard]] bool open(const std::string& path, Mode mode);
    // Takes over an already open descriptor.
    void adopt(int fd);
    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    [[nodiscard]] int descriptor() const { return fd_; }
    // Flushes the written data to the disk.
    [[nodiscard]] bool sync();
    // Closes the file; false when the system reports a late write error.
    bool close();

    [[nodiscard]] bool seek(uint64_t offset) override;
    [[nodiscard]] int64_t read(void* buffer, size_t size) override;
    [[nodiscard]] bool write(const void* buffer, size_t size) override;
    [[nodiscard]] int64_t length() override;

private:
    int fd_ = -1;
};

class MemoryDbFile : public DbFile {
public:
    MemoryDbFile() = default;
    explicit MemoryDbFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    [[nodiscard]] bool seek(uint64_t offset) override;
    [[nodiscard]] int64_t read(void* buffer, size_t size) override;
    [[nodiscard]] bool write(const void* buffer, size_t size) override;
    [[nodiscard]] int64_t length() override { return static_cast<int64_t>(bytes_.size()); }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint64_t position_ = 0;
};

}  // namespace tovu
