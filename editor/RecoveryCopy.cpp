#include "editor/RecoveryCopy.h"

#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"

#include <mmsystem.h>

#include <cstdio>
#include <utility>

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
      m_pending(false),
      m_firstChange(0),
      m_lastChange(0),
      m_claimedLock(INVALID_HANDLE_VALUE),
      m_restored(false),
      m_ownerThread(GetCurrentThreadId()),
      m_writing(false),
      m_stop(false),
      m_hasCopy(false),
      m_retry(false),
      m_retryAt(0),
      m_failure(0),
      m_failureTold(false),
      m_lock(INVALID_HANDLE_VALUE)
{
    char stem[64];
    snprintf(stem, sizeof stem, "%08lX-%016llX", GetCurrentProcessId(), Now());
    m_stem = stem;
}

RecoveryCopy::~RecoveryCopy()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_job.reset();
    }
    m_wake.notify_one();
    if (m_writer.joinable()) {
        m_writer.join();
    }
    Drop();
    ReleaseClaim();
    CloseLock(m_lock);
}

std::string RecoveryCopy::PathOf(const std::string& stem, const char* extension) const
{
    return m_folder + stem + extension;
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
    if (m_folder.empty()) {
        return INFINITE;
    }
    // Differences of the wrapping millisecond count, read as signed.
    LONG left = 0;
    if (m_pending) {
        const LONG quietLeft = static_cast<LONG>(m_lastChange + kQuiet - now);
        const LONG longestLeft = static_cast<LONG>(m_firstChange + kLongestWait - now);
        left = quietLeft < longestLeft ? quietLeft : longestLeft;
    } else {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_retry) {
            return INFINITE;
        }
        left = static_cast<LONG>(m_retryAt - now);
    }
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

void RecoveryCopy::Write(const MapFileContents& map, const char* mapFile)
{
    m_pending = false;
    if (m_folder.empty()) {
        return;
    }
    RecoveryNote note;
    note.mapFile = mapFile;
    note.time = Now();
    auto job = std::make_unique<Job>();
    job->copy = EncodeMapFile(map);
    job->note = EncodeRecoveryNote(note);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A copy not yet begun is outdated by this one.
        m_job = std::move(job);
        m_retry = false;
    }
    if (!m_writer.joinable()) {
        m_writer = std::thread(&RecoveryCopy::WriteJobs, this);
    }
    m_wake.notify_one();
}

void RecoveryCopy::WriteJobs()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_job; });
        if (m_stop) {
            return;
        }
        const std::unique_ptr<Job> job = std::move(m_job);
        m_writing = true;
        m_hasCopy = true;
        lock.unlock();
        const DWORD error = WriteJob(*job);
        lock.lock();
        m_writing = false;
        m_failure = error;
        if (error) {
            m_retry = true;
            m_retryAt = timeGetTime() + kLongestWait;
            if (!m_failureTold) {
                // The loop may sleep until its next write is due: it is to
                // tell the user now.
                PostThreadMessageA(m_ownerThread, WM_NULL, 0, 0);
            }
        } else {
            m_failureTold = false;
        }
        m_idle.notify_all();
    }
}

DWORD RecoveryCopy::WriteJob(const Job& job)
{
    const auto failure = [] {
        const DWORD error = GetLastError();
        return error ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
    };
    // The lock tells a program started later that this copy's program runs:
    // it is there before the copy is. When the folder was taken away since
    // (its lock went with it), both are made again, or the next copy would
    // have no folder, and a later program would take it for a crash's.
    const std::string lockPath = PathOf(m_stem, kLockExtension);
    if (m_lock != INVALID_HANDLE_VALUE && GetFileAttributesA(lockPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        CloseLock(m_lock);
    }
    if (m_lock == INVALID_HANDLE_VALUE) {
        if (!MakeFolderPath(m_folder)) {
            return failure();
        }
        m_lock = ClaimLock(lockPath);
        if (m_lock == INVALID_HANDLE_VALUE) {
            return failure();
        }
    }
    if (!WriteFileSafely(PathOf(m_stem, kCopyExtension).c_str(), job.copy.data(), job.copy.size()) ||
        !WriteFileSafely(PathOf(m_stem, kNoteExtension).c_str(), job.note.data(), job.note.size())) {
        return failure();
    }
    return 0;
}

bool RecoveryCopy::TakeFailure(DWORD* error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_failure || m_failureTold) {
        return false;
    }
    m_failureTold = true;
    *error = m_failure;
    return true;
}

void RecoveryCopy::PruneDeclined()
{
    if (!m_folder.empty()) {
        PruneDeclinedCopies(m_folder, Now());
    }
}

void RecoveryCopy::WaitForWrite()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_job && !m_writing; });
}

void RecoveryCopy::Remove()
{
    Discard(false);
}

void RecoveryCopy::Drop()
{
    Discard(m_restored);
}

void RecoveryCopy::Discard(bool decline)
{
    m_pending = false;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_job.reset();
    m_retry = false;
    m_idle.wait(lock, [this] { return !m_writing; });
    m_restored = false;
    if (m_hasCopy) {
        m_hasCopy = false;
        if (decline) {
            DeclineCopy(m_folder, m_stem, Now());
        } else {
            RemoveFiles(m_stem);
        }
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
    std::lock_guard<std::mutex> lock(m_mutex);
    CloseLock(m_lock);
    m_stem = m_claimedStem;
    m_lock = m_claimedLock;
    m_hasCopy = true;
    m_restored = true;
    m_claimedLock = INVALID_HANDLE_VALUE;
    m_claimedStem.clear();
}

void RecoveryCopy::DiscardClaimed()
{
    // Moved while the claim holds, so that no other program offers it meanwhile.
    if (m_claimedLock != INVALID_HANDLE_VALUE) {
        DeclineCopy(m_folder, m_claimedStem, Now());
    }
    ReleaseClaim();
}

void RecoveryCopy::ReleaseClaim()
{
    CloseLock(m_claimedLock);
    m_claimedStem.clear();
}
