// A plan written to a file: an SVG drawing, a PDF page or a PNG image, chosen by the file's
// extension. The file is replaced only when complete (core/output_file.h).
#pragma once

#include <QSize>
#include <optional>
#include <string>
#include <vector>

#include "core/convert_result.h"
#include "plot/plan_renderer.h"

namespace korv {

enum class PlotFormat { Svg, Pdf, Png };

// By the extension of `path`, in any letter case; nullopt for any other.
std::optional<PlotFormat> PlotFormatOf(const std::string& path);

// Draws the plan as `view` shows it, or the whole plan fitted to `size` without one, on an
// area of `size` (pixels; PDF points), and writes it to `path`.
ConvertResult WritePlot(const std::string& path, PlotFormat format, const QSize& size,
                        const Plan& plan, const PlanStyle& style,
                        const std::vector<uint32_t>& marked,
                        const ViewTransform* view = nullptr);

// The margin a fitted plan leaves on every side, device units.
constexpr double kPlanMargin = 24;

}  // namespace korv
