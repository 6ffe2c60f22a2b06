#include "plot/plot_file.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cerrno>

#include "core/output_file.h"
#include "core/text.h"

namespace korv {

namespace {

struct Drawing {
  QSize size;
  const Plan& plan;
  const PlanStyle& style;
  const std::vector<uint32_t>& marked;
  ViewTransform view;

  void On(QPainter& painter) const {
    DrawPlan(painter, QRectF(QPointF(0, 0), QSizeF(size)), plan, view, style, marked);
  }
};

// The file's bytes, drawn into memory first so a failed drawing touches no file.
QByteArray Render(PlotFormat format, const Drawing& drawing) {
  const QSize& size = drawing.size;
  const std::string title = FileNameOnly(drawing.plan.survey().source);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case PlotFormat::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setTitle(QString::fromStdString(title));
      QPainter painter(&svg);
      drawing.On(painter);
      break;
    }
    case PlotFormat::Pdf: {
      QPdfWriter pdf(&buffer);
      // One device unit a point: the page is the size asked for.
      pdf.setResolution(72);
      pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle(QString::fromStdString(title));
      QPainter painter(&pdf);
      drawing.On(painter);
      break;
    }
    case PlotFormat::Png: {
      QImage image(size, QImage::Format_RGB32);
      {
        QPainter painter(&image);
        drawing.On(painter);
      }
      image.save(&buffer, "PNG");
      break;
    }
  }
  return bytes;
}

}  // namespace

std::optional<PlotFormat> PlotFormatOf(const std::string& path) {
  const std::string name = ToLowerAscii(FileNameOnly(path));
  auto endsWith = [&name](const char* ext) {
    const std::string e(ext);
    return name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
  };
  if (endsWith(".svg")) return PlotFormat::Svg;
  if (endsWith(".pdf")) return PlotFormat::Pdf;
  if (endsWith(".png")) return PlotFormat::Png;
  return std::nullopt;
}

ConvertResult WritePlot(const std::string& path, PlotFormat format, const QSize& size,
                        const Plan& plan, const PlanStyle& style,
                        const std::vector<uint32_t>& marked, const ViewTransform* view) {
  Drawing drawing{size, plan, style, marked, {}};
  if (view)
    drawing.view = *view;
  else
    drawing.view.Fit(plan.Extent(), QSizeF(size), kPlanMargin);
  OutputFile out;
  if (ConvertResult opened = out.Open(path, WriteMode::Overwrite); !opened.ok()) return opened;
  const QByteArray bytes = Render(format, drawing);
  if (bytes.isEmpty()) return ConvertResult::OutputFault("Cannot draw the plan of " + path);
  out.stream().write(bytes.constData(), bytes.size());
  return out.Commit();
}

}  // namespace korv
