#include "editor/RecoveryCopy.h"

#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

const char kCopyExtension[] = ".omd";
const char kNoteExtension[] = ".ini";
const char kLockExtension[] = ".lock";

unsigned long long ToNumber(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

unsigned long long Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ToNumber(now);
}

void CloseLock(HANDLE& lock)
{
    if (lock != INVALID_HANDLE_VALUE) {
        CloseHandle(lock);
        lock = INVALID_HANDLE_VALUE;
    }
}

}  // namespace

RecoveryCopy::RecoveryCopy(std::string folder)
    : m_folder(std::move(folder)),
      m_lock(INVALID_HANDLE_VALUE),
      m_hasCopy(false),
      m_pending(false),
      m_firstChange(0),
      m_lastChange(0),
      m_claimedLock(INVALID_HANDLE_VALUE)
{
    char stem[64];
    snprintf(stem, sizeof stem, "%08lX-%016llX", GetCurrentProcessId(), Now());
    m_stem = stem;
}

RecoveryCopy::~RecoveryCopy()
{
    Remove();
    ReleaseClaim();
    CloseLock(m_lock);
}

std::string RecoveryCopy::PathOf(const std::string& stem, const char* extension) const
{
    return m_folder + stem + extension;
}

std::string RecoveryCopy::CopyPath() const
{
    return PathOf(m_stem, kCopyExtension);
}

void RecoveryCopy::MapChanged(bool modified, DWORD now)
{
    if (!modified) {
        Remove();
        return;
    }
    if (!m_pending) {
        m_pending = true;
        m_firstChange = now;
    }
    m_lastChange = now;
}

DWORD RecoveryCopy::TimeToWrite(DWORD now) const
{
    if (!m_pending || m_folder.empty()) {
        return INFINITE;
    }
    // Differences of the wrapping millisecond count, read as signed.
    const LONG quietLeft = static_cast<LONG>(m_lastChange + kQuiet - now);
    const LONG longestLeft = static_cast<LONG>(m_firstChange + kLongestWait - now);
    const LONG left = quietLeft < longestLeft ? quietLeft : longestLeft;
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

bool RecoveryCopy::Write(const MapFileContents& map, const char* mapFile, DWORD now)
{
    if (m_folder.empty()) {
        return false;
    }
    // The lock tells a program started later that this copy's program runs.
    if (m_lock == INVALID_HANDLE_VALUE && MakeFolderPath(m_folder)) {
        m_lock = ClaimLock(PathOf(m_stem, kLockExtension));
    }
    RecoveryNote note;
    note.mapFile = mapFile;
    note.time = Now();
    const std::string text = EncodeRecoveryNote(note);
    const bool written = m_lock != INVALID_HANDLE_VALUE && SaveMapFile(CopyPath().c_str(), map) &&
                         WriteFileSafely(PathOf(m_stem, kNoteExtension).c_str(), text.data(), text.size());
    // The copy is on disk, whole, from the first write that reached it.
    m_hasCopy = m_hasCopy || GetFileAttributesA(CopyPath().c_str()) != INVALID_FILE_ATTRIBUTES;
    m_pending = !written;
    if (!written) {
        m_firstChange = now;
        m_lastChange = now + kLongestWait;
    }
    return written;
}

void RecoveryCopy::Remove()
{
    m_pending = false;
    if (m_hasCopy) {
        RemoveFiles(m_stem);
        m_hasCopy = false;
    }
}

void RecoveryCopy::RemoveFiles(const std::string& stem) const
{
    DeleteFileA(PathOf(stem, kCopyExtension).c_str());
    DeleteFileA(PathOf(stem, kNoteExtension).c_str());
}

bool RecoveryCopy::ClaimLeftCopy(LeftCopy* found)
{
    ReleaseClaim();
    if (m_folder.empty()) {
        return false;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((m_folder + "*" + kCopyExtension).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        const std::string name = entry.cFileName;
        const size_t extension = sizeof kCopyExtension - 1;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() <= extension) {
            continue;
        }
        const std::string stem = name.substr(0, name.size() - extension);
        if (stem == m_stem) {
            continue;
        }
        // A program that still runs holds its lock: its copy is not ours to offer.
        HANDLE lock = ClaimLock(PathOf(stem, kLockExtension));
        if (lock == INVALID_HANDLE_VALUE) {
            continue;
        }
        LeftCopy copy;
        copy.mapPath = PathOf(stem, kCopyExtension);
        std::vector<unsigned char> bytes;
        if (ReadMapFileBytes(PathOf(stem, kNoteExtension).c_str(), &bytes) != MapFileError::None ||
            !DecodeRecoveryNote(std::string(bytes.begin(), bytes.end()), &copy.note)) {
            copy.note = RecoveryNote();
            copy.note.time = ToNumber(entry.ftLastWriteTime);
        }
        if (m_claimedLock == INVALID_HANDLE_VALUE || copy.note.time > found->note.time) {
            // The newest is offered; an older one stays for the next start.
            ReleaseClaim();
            m_claimedStem = stem;
            m_claimedLock = lock;
            *found = copy;
        } else {
            CloseHandle(lock);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return m_claimedLock != INVALID_HANDLE_VALUE;
}

void RecoveryCopy::AdoptClaimed()
{
    if (m_claimedLock == INVALID_HANDLE_VALUE) {
        return;
    }
    Remove();
    CloseLock(m_lock);
    m_stem = m_claimedStem;
    m_lock = m_claimedLock;
    m_hasCopy = true;
    m_claimedLock = INVALID_HANDLE_VALUE;
    m_claimedStem.clear();
}

void RecoveryCopy::DiscardClaimed()
{
    if (m_claimedLock != INVALID_HANDLE_VALUE) {
        RemoveFiles(m_claimedStem);
    }
    ReleaseClaim();
}

void RecoveryCopy::ReleaseClaim()
{
    CloseLock(m_claimedLock);
    m_claimedStem.clear();
}
