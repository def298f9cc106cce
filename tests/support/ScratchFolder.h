#pragma once

#include <string>
#include <vector>

// A folder of the test's own in the temporary folder, empty at the start and
// gone, with everything in it (folders too), at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, ending in a backslash.
    const std::string& path() const { return m_path; }
    // The names of the files in it, sorted.
    std::vector<std::string> Files() const;

private:
    void Clear() const;

    std::string m_path;
};

// The size of the file at `path` in bytes; -1 when there is none.
long long FileSize(const std::string& path);
