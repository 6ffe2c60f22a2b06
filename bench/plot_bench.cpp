// plot_bench: the redraw time of the plan of a coordinate list, offscreen, beside the
// time of filling the same image (the least any redraw costs).
//
// Usage: plot_bench FILE [RENDERS] [WxH]
// Reads FILE as a coordinate list (NEZ), then draws its whole extent RENDERS times (default
// 15) into a WxH image (default 1280x800) as the plan view does, and once zoomed 50 times
// about the middle (labels on). Prints the best and median milliseconds of each, elapsed and
// of processor time.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <time.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/coord_order.h"
#include "plot/plan_renderer.h"
#include "plot/plot_file.h"
#include "survey/survey.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The processor time of this thread, which other work on a busy machine does not inflate.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Best and median of `runs` timings of `work`, elapsed and processor time.
void Time(const char* what, int runs, const std::function<void()>& work) {
  std::vector<double> ms, cpu;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point t0 = Clock::now();
    const double c0 = CpuMs();
    work();
    cpu.push_back(CpuMs() - c0);
    ms.push_back(Ms(Clock::now() - t0));
  }
  std::sort(ms.begin(), ms.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%-36s elapsed best %7.2f median %7.2f ms | cpu best %7.2f median %7.2f ms\n",
              what, ms.front(), ms[ms.size() / 2], cpu.front(), cpu[cpu.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: plot_bench FILE [RENDERS] [WxH]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
  int w = 1280, h = 800;
  if (argc > 3 && std::sscanf(argv[3], "%dx%d", &w, &h) != 2) return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  korv::Survey survey;
  std::string fault;
  const Clock::time_point t0 = Clock::now();
  if (!korv::ReadCoordinateSurvey(argv[1], korv::CoordOrder::kNEZ, survey, fault)) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    return 1;
  }
  const korv::Plan plan(survey);
  std::printf("%zu points read in %.0f ms, image %dx%d\n", survey.points.size(),
              Ms(Clock::now() - t0), w, h);

  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  korv::PlanStyle style;
  style.palette = QGuiApplication::palette();
  style.font = QGuiApplication::font();
  korv::ViewTransform view;
  view.Fit(plan.Extent(), QSizeF(w, h), korv::kPlanMargin);
  const QRectF area(0, 0, w, h);
  auto render = [&] {
    QPainter painter(&image);
    korv::DrawPlan(painter, area, plan, view, style, {});
  };
  Time("baseline: fill the same image", runs, [&] { image.fill(Qt::white); });
  Time("plan, whole extent", runs, render);
  view.ZoomAbout(area.center(), 50);
  Time("plan, zoomed 50x about the middle", runs, render);
  return 0;
}
