// Reads a raw data file into the survey model and reduces it, timing each step: the figures
// bench/survey_bench.sh prints beside `cat` of the same file.
//
// Usage: survey_bench RAW_FILE
// Prints one line: bytes, observations, reduced points, then for reading and for the best of
// three reductions the elapsed and the processor seconds (the latter is what a busy machine
// does not inflate), and the peak resident kB.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/coord_order.h"
#include "survey/survey.h"

namespace {

struct Times {
  double wall, cpu;
};

// Elapsed and processor seconds of `run`.
template <typename F>
Times Timed(F run) {
  auto cpu = [] {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  };
  const auto w0 = std::chrono::steady_clock::now();
  const double c0 = cpu();
  run();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count(),
          cpu() - c0};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: survey_bench RAW_FILE\n");
    return 2;
  }
  korv::Survey survey;
  std::string fault;
  bool ok = true;
  const Times read =
      Timed([&] { ok = korv::ReadRawSurvey(argv[1], korv::CoordOrder::kNEZ, survey, fault); });
  if (!ok) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    return 1;
  }
  Times reduce{1e30, 1e30};
  for (int run = 0; run < 3; ++run) {
    const Times t = Timed([&] { korv::Reduce(survey, korv::ReductionOptions()); });
    reduce = {std::min(reduce.wall, t.wall), std::min(reduce.cpu, t.cpu)};
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ju %zu %zu %.6f %.6f %.6f %.6f %ld\n",
              static_cast<uintmax_t>(std::filesystem::file_size(argv[1])),
              survey.observations.size(), survey.points.size() - survey.recordPoints, read.wall,
              read.cpu, reduce.wall, reduce.cpu, usage.ru_maxrss);
  return 0;
}
