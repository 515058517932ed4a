// Starting a job's worker: the one place where the platforms differ for the jobs.
#pragma once
#include <cstdint>

struct JobRequest;

// Runs JobThreadProc(request) on a new thread that nobody waits for. Returns the thread's
// id, or 0 when no thread could be started (the request is then still the caller's).
uint32_t StartJobThread(JobRequest* request);
