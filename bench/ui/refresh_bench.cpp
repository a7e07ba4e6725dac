// The two refreshes the window does with bulk data, each beside a plain baseline measured in the
// same run:
//   - the chart: the 48768 points of one output fed to the window's chart and rendered at the
//     chart's 809 x 250, against QPainter drawLines of the same points onto an image of that size
//     (goal: at most 2x); and the same feed while the chart is off screen;
//   - the chart zoomed: one wheel step with the 48768 points on the chart, drawn at the chart's
//     size, near the whole signal (a slice of extremes per pixel column), close in (two bits),
//     and out to the whole signal and in again, against the same drawLines baseline;
//   - the help: a 200 KB rich-text file, made from help.rtf repeated, loaded as the help page
//     loads it, against the same file read as plain text into a document.
// After the table come the ratios of the medians.
//
//   zk_ui_refresh_bench [--benchmark_repetitions=N] [other benchmark flags]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "Pr_221_1.h"
#include "_5FormFM.h"
#include "richtextfile.h"
#include "zoomchartview.h"

namespace {

constexpr int kWidth = 809;
constexpr int kHeight = 250;
constexpr double kChartGoal = 2.0;
constexpr qint64 kHelpBytes = 200 * 1024;

class NoPlayer : public zk::Player {
  public:
    void Play(const zk::Sound&) override {}
};

// The points of one output, as the synthesis hands them to a chart.
class PointRecorder : public zk::ChartSink {
  public:
    void Clear() override { points.clear(); }
    void AddPoint(double x, double y) override { points.emplace_back(x, y); }
    std::vector<QPointF> points;
};

std::map<std::string, std::vector<double>> samplesMs;

template <typename Work>
void Timed(benchmark::State& state, const char* name, Work&& work) {
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - started;
        state.SetIterationTime(took.count() / 1e3);
        samplesMs[name].push_back(took.count());
    }
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Fixture {
    NoPlayer player;
    TForm1* form = nullptr;
    QChartView* chart = nullptr;
    std::vector<QPointF> points;
    QTemporaryDir folder;
    QString helpName;
};

Fixture* fixture = nullptr;

void Feed(zk::ChartSink& sink) {
    sink.Clear();
    for (const QPointF& point : fixture->points) {
        sink.AddPoint(point.x(), point.y());
    }
    sink.EndOfPoints();
}

// Data in to pixels: the feed of one output and the chart drawn at its size. (The window's own
// repaint is left out, or the chart would be drawn twice.)
QImage RefreshChart() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    Feed(*fixture->form);
    QPainter painter(&image);
    fixture->chart->render(&painter);
    return image;
}

void ChartRefresh(benchmark::State& state) {
    QImage image;
    Timed(state, "chart", [&] { image = RefreshChart(); });
    benchmark::DoNotOptimize(image.constBits());
}

// A check that the measurement draws the line at all: many red pixels.
bool DrawsTheLine() {
    const QImage image = RefreshChart();
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80 ? 1 : 0;
        }
    }
    return red > 1000;
}

// The same points mapped onto the image and drawn as line segments, nothing else.
void DrawLinesBaseline(benchmark::State& state) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<QLineF> lines;
    Timed(state, "drawLines", [&] {
        const std::vector<QPointF>& points = fixture->points;
        const double sx = (kWidth - 1) / static_cast<double>(zk::kSignalSamples);
        const double sy = (kHeight - 1) / 64000.0;
        const auto map = [&](const QPointF& p) {
            return QPointF(p.x() * sx, (32000.0 - p.y()) * sy);
        };
        lines.clear();
        lines.reserve(points.size());
        for (std::size_t i = 1; i < points.size(); ++i) {
            lines.emplace_back(map(points[i - 1]), map(points[i]));
        }
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::red, 1));
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    });
    benchmark::DoNotOptimize(image.constBits());
}

// One wheel step on the chart showing the latest output, then the chart drawn at its size. The
// steps go in and out between `from` and one step further in, around the signal's middle, so
// every iteration does the same work.
void ZoomSteps(benchmark::State& state, const char* name, double span) {
    auto* view = qobject_cast<zk::ui::ZoomChartView*>(fixture->chart);
    Feed(*fixture->form);
    const double middle = zk::kSignalSamples / 2.0;
    view->ShowRange(middle - span / 2, middle + span / 2);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    bool in = true;
    Timed(state, name, [&] {
        view->ZoomAround(
            middle, in ? zk::ui::ZoomChartView::kWheelZoom : 1 / zk::ui::ZoomChartView::kWheelZoom);
        in = !in;
        QPainter painter(&image);
        view->render(&painter);
    });
    view->ShowWhole();
    benchmark::DoNotOptimize(image.constBits());
}

void ZoomStepNearWhole(benchmark::State& state) {
    ZoomSteps(state, "zoom step near whole", zk::kSignalSamples * 0.8);
}

void ZoomStepClose(benchmark::State& state) {
    ZoomSteps(state, "zoom step close", 128);
}

// From one step in out to the whole signal, and in again: the whole series laid out once.
void ZoomStepToWhole(benchmark::State& state) {
    ZoomSteps(state, "zoom step to whole", zk::kSignalSamples);
}

// The feed while the chart is off screen, as with every output in the normal mode.
void ChartFeedOffScreen(benchmark::State& state) {
    TForm1 hidden(fixture->player);
    Timed(state, "feed off screen", [&] {
        Feed(hidden);
        QCoreApplication::sendPostedEvents();
    });
}

void HelpRichText(benchmark::State& state) {
    QTextDocument document;
    const std::string name = fixture->helpName.toStdString();
    Timed(state, "help rich text", [&] { zk::LoadRichTextFile(document, name); });
    state.counters["chars"] = document.characterCount();
}

void HelpPlainText(benchmark::State& state) {
    QTextDocument document;
    Timed(state, "help plain text", [&] {
        QFile file(fixture->helpName);
        if (!file.open(QIODevice::ReadOnly)) {
            std::abort();
        }
        document.setPlainText(QString::fromLatin1(file.readAll()));
    });
    state.counters["chars"] = document.characterCount();
}

// help.rtf with its body repeated until the file holds at least 200 KB.
bool MakeLargeHelp(const QString& target) {
    QFile source(ZK_HELP_FILE);
    if (!source.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray help = source.readAll();
    const qsizetype bodyStart = help.indexOf("\\pard");
    const qsizetype bodyEnd = help.lastIndexOf('}');
    if (bodyStart < 0 || bodyEnd <= bodyStart) {
        return false;
    }
    const QByteArray body = help.mid(bodyStart, bodyEnd - bodyStart);
    QByteArray large = help.left(bodyStart);
    while (large.size() + 1 < kHelpBytes) {
        large += body;
    }
    large += "}";
    QFile out(target);
    return out.open(QIODevice::WriteOnly) && out.write(large) == large.size();
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    Fixture setup;
    fixture = &setup;
    if (!setup.folder.isValid() || !MakeLargeHelp(setup.folder.filePath("help.rtf"))) {
        std::fprintf(stderr, "cannot make the 200 KB help file from %s\n", ZK_HELP_FILE);
        return 1;
    }
    QDir::setCurrent(setup.folder.path());
    setup.helpName = "help.rtf";

    PointRecorder recorder;
    zk::SynthesizeSignal(recorder);
    setup.points = std::move(recorder.points);

    // The window's own chart on its page, on screen, so that the series sits on the chart.
    TForm1 form(setup.player);
    setup.form = &form;
    setup.chart = form.findChild<QChartView*>("Chart1");
    setup.chart->show();
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(3);
    form.show();
    QCoreApplication::processEvents();
    if (!DrawsTheLine()) {
        std::fprintf(stderr, "the chart does not draw the points\n");
        return 1;
    }

    for (const auto& [name, run] : std::vector<std::pair<const char*, void (*)(benchmark::State&)>>{
             {"ChartRefresh", ChartRefresh},
             {"DrawLinesBaseline", DrawLinesBaseline},
             {"ChartFeedOffScreen", ChartFeedOffScreen},
             {"ZoomStepNearWhole", ZoomStepNearWhole},
             {"ZoomStepClose", ZoomStepClose},
             {"ZoomStepToWhole", ZoomStepToWhole},
             {"HelpRichText", HelpRichText},
             {"HelpPlainText", HelpPlainText},
         }) {
        benchmark::RegisterBenchmark(name, run)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto ratio = [](const char* name, const char* baseline) {
        const double ms = Median(samplesMs[name]);
        const double base = Median(samplesMs[baseline]);
        if (ms == 0 || base == 0) {
            std::printf("  %-20s not measured\n", name);
            return 0.0;
        }
        std::printf("  %-20s %8.2f ms vs %-16s %8.2f ms  %6.2fx\n", name, ms, baseline, base,
                    ms / base);
        return ms / base;
    };
    std::printf("\nratios of the medians\n");
    const double chart = ratio("chart", "drawLines");
    if (chart > 0) {
        std::printf("  chart refresh goal %.1fx: %s\n", kChartGoal,
                    chart <= kChartGoal ? "met" : "MISSED");
    }
    ratio("feed off screen", "drawLines");
    ratio("zoom step near whole", "drawLines");
    ratio("zoom step close", "drawLines");
    ratio("zoom step to whole", "drawLines");
    ratio("help rich text", "help plain text");
    return 0;
}
