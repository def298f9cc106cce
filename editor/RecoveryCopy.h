#pragma once

#include "io/RecoveryFolder.h"

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct MapFileContents;

// The copy of the map's unsaved changes that outlives a crash: one per running
// program, in a folder shared by all of them (see RecoveryFolder.h for the
// files). The editor says when the map changes and when it is saved or
// discarded; the main loop hands the copy over when it is due. The disk work
// (two files written, flushed and renamed: 5 to 15 ms on a busy machine, more
// than a frame) is done by a writer thread of its own, so the main loop only
// gathers and encodes the map. Times are milliseconds of timeGetTime.
class RecoveryCopy {
public:
    // A write waits this long after the last change, but no longer than
    // kLongestWait after the first change it has not written.
    static const DWORD kQuiet = 5000;
    static const DWORD kLongestWait = 60000;

    // Copies go to `folder` (ending in a backslash); with an empty one none
    // are kept. Nothing is made on disk before the first write.
    explicit RecoveryCopy(std::string folder);
    // The program ends normally: its copy goes.
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // The map changed at `now`. A modified map has a write due; one that is
    // back at its saved state needs no copy, and loses it.
    void MapChanged(bool modified, DWORD now);
    // How long until a write is due: 0 when it is, INFINITE when none waits.
    DWORD TimeToWrite(DWORD now) const;
    // Hands `map` to the writer as this program's copy, its note naming
    // `mapFile` (empty for none). The writer puts both on disk through
    // temporary files, so a crash on the way keeps the copy before; a write
    // that fails is due again a minute later.
    void Write(const MapFileContents& map, const char* mapFile);
    // Waits until what was handed to the writer is on disk (or has failed).
    void WaitForWrite();
    // The map was saved, or is back at its saved state: the copy goes, and
    // no write waits. A write under way is let finish first.
    void Remove();
    // The map's changes were given up (the program ends, or another map takes
    // its place, after "いいえ" to saving them): as Remove, except that a copy
    // restored at start, whose work exists nowhere else, goes among the
    // declined copies instead.
    void Drop();

    // A write failed since the last one that succeeded and the user has not
    // been told: true once, with the system's error code, until a write
    // succeeds again. The writer wakes the thread that made this object when
    // a write fails, so that its loop comes to ask. Main thread.
    bool TakeFailure(DWORD* error);
    // Whether this program's copy is one restored at start, not saved since.
    bool IsRestored() const { return m_restored; }
    // The folder of the copies, ending in a backslash; empty when none are kept.
    const std::string& Folder() const { return m_folder; }
    // At start: declined copies kept long enough, and those past the most
    // that are kept, go.
    void PruneDeclined();

    // A copy left by a program that no longer runs, held for this program
    // alone until AdoptClaimed or DiscardClaimed.
    struct LeftCopy {
        std::string mapPath;
        // From the note; without a readable note, no map file and the time
        // the copy was written.
        RecoveryNote note;
    };
    // Finds the newest copy whose program has ended and claims it, so that
    // no other program can offer it too; the other copies stay for a later
    // start. False when there is none.
    bool ClaimLeftCopy(LeftCopy* found);
    // The claimed copy is this program's own from now on: it stays until
    // the map is saved or discarded, and the next write replaces it.
    void AdoptClaimed();
    // The claimed copy was declined or is damaged: it goes among the
    // declined copies (left in place when it cannot be moved).
    void DiscardClaimed();

private:
    // The files one write puts on disk.
    struct Job {
        std::vector<unsigned char> copy;
        std::string note;
    };

    // Names of the files of a copy.
    std::string PathOf(const std::string& stem, const char* extension) const;
    void RemoveFiles(const std::string& stem) const;
    // Remove, or with `decline` Drop of a restored copy.
    void Discard(bool decline);
    void ReleaseClaim();
    // The writer thread: one job at a time, the newest handed over.
    void WriteJobs();
    // 0 when the copy is on disk; otherwise the system's error code.
    DWORD WriteJob(const Job& job);

    std::string m_folder;
    // Unique to this run: the process id and the time it started.
    std::string m_stem;
    // Main thread only: whether a change waits to be handed over.
    bool m_pending;
    DWORD m_firstChange;
    DWORD m_lastChange;
    std::string m_claimedStem;
    HANDLE m_claimedLock;
    // This program's copy is one restored at start, not yet saved.
    bool m_restored;
    // Told when a write fails.
    DWORD m_ownerThread;

    // Shared with the writer, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::unique_ptr<Job> m_job;
    bool m_writing;
    bool m_stop;
    // Whether files of this program's copy may be on disk.
    bool m_hasCopy;
    // A failed write is due again at m_retryAt.
    bool m_retry;
    DWORD m_retryAt;
    // The error of the last write when it failed, 0 when it succeeded; and
    // whether the user has heard of the failures since the last success.
    DWORD m_failure;
    bool m_failureTold;
    // Made by the writer before its first copy; held until the program ends.
    HANDLE m_lock;
    std::thread m_writer;
};
