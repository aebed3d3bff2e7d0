// Runs a batch of pictures on several threads and hands their results back in the
// order they were given, each as soon as it and every one before it are done.
//
// Thread safety: RunInOrder is called from one thread; `work` runs on the worker
// threads (several at once) and must be safe there; `deliver` and `progress` run on the
// calling thread only, so they may write to the terminal without a lock.
// Neutral result: none; a `work` that throws gives a kService result with the reason.
#ifndef SORVANEL_CLI_ORDERED_JOBS_H_
#define SORVANEL_CLI_ORDERED_JOBS_H_

#include <cstddef>
#include <functional>

#include "cli/recognition_job.h"

namespace sorvanel::cli {

using Work = std::function<PictureResult(std::size_t index)>;
using Deliver = std::function<void(std::size_t index, PictureResult& result)>;
// Told how many results are finished (in any order), after each one and about every
// 200 ms while the calling thread waits.
using Progress = std::function<void(std::size_t finished)>;

// Runs work(0) ... work(count - 1) with at most `jobs` of them at once (one thread each;
// with a single job, or a single picture, everything runs on the calling thread).
void RunInOrder(std::size_t count, int jobs, const Work& work, const Deliver& deliver,
                const Progress& progress);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_ORDERED_JOBS_H_
