// The redraw benchmark (VORLANE_BENCH_REDRAWS=N), run once the bar is shown.
// It makes N redraws, taking turns between four kinds so that each gets a
// quarter of them under the same conditions: the floor (the layered update of
// an unchanged picture), a redraw of the same picture on the kept surface, a
// redraw of a new text (a countdown's next second, drawn ahead as the bar
// does), and the allocate-every-time strategy (a fresh surface for each
// redraw, nothing drawn ahead). It then checks that the kept surfaces give the
// very pixels a fresh one does, for every status text in both frames.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/BarDrawing_win.h"
#include "app/bench/InProgramBench_win.h"
#include "core/Digits.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "res/resource.h"

namespace vorlane {
namespace {

class Timings {
  public:
    explicit Timings(int count) { micros_.reserve(static_cast<size_t>(count)); }

    template <typename Fn>
    void time(Fn&& fn) {
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        fn();
        ::QueryPerformanceCounter(&end);
        micros_.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                          static_cast<double>(frequency.QuadPart));
    }

    void report(const wchar_t* what) {
        std::sort(micros_.begin(), micros_.end());
        const double median = micros_[micros_.size() / 2];
        const double p99 = micros_[std::min(micros_.size() - 1, micros_.size() * 99 / 100)];
        Trace(L"bench", std::wstring(what) + L"\t" + Decimal(micros_.size()) + L"\t" +
                            Decimal(static_cast<long long>(median)) + L"\t" +
                            Decimal(static_cast<long long>(p99)));
    }

  private:
    std::vector<double> micros_;
};

// Pixels: each text drawn over the previous one on the kept surfaces, or
// taken where it was drawn ahead, against the same text on a fresh surface.
void ComparePixels(const BarPicture& shown) {
    const std::wstring texts[] = {Text(IDS_PREPARING),
                                  Text(IDS_ONLINE),
                                  Text(IDS_DROPPED, {L"1"}),
                                  Text(IDS_DROPPED, {L"123"}),
                                  Text(IDS_COUNTDOWN, {L"60"}),
                                  Text(IDS_COUNTDOWN, {L"59"}),
                                  Text(IDS_COUNTDOWN, {L"58"}),
                                  Text(IDS_COUNTDOWN, {L"9"}),
                                  Text(IDS_RUNNING),
                                  Text(IDS_STOPPED)};
    int pictures = 0, differ = 0;
    BarPictures kept;  // "58", after "60" and "59", is drawn ahead
    for (bool alarm : {false, true}) {
        for (const std::wstring& text : texts) {
            BarPicture picture = shown;
            picture.text = text;
            picture.alarm = alarm;
            BarSurface once;
            kept.drawAhead();  // as the second between two texts allows
            if (!kept.show(picture) || !once.draw(picture)) continue;
            ++pictures;
            const size_t bytes = static_cast<size_t>(picture.width) * picture.height * 4;
            if (std::memcmp(kept.shown().bits(), once.bits(), bytes) != 0) {
                ++differ;
                Trace(L"bench", L"pixels-differ\t" + text);
            }
        }
    }
    Trace(L"bench", L"pixels\t" + Decimal(pictures) + L"\t" + Decimal(differ));
}

}  // namespace

void RunRedrawBenchmark(BarDrawing& drawing, const BarPicture& shown, int count) {
    if (count <= 0) return;
    const int each = std::max(1, count / 4);
    Timings floor(each), same(each), changed(each), fresh(each);
    // What the kept surface holds: the shown picture, then each new text.
    BarPicture kept = shown;
    // The bar redraws at most about once a second, never twice in a row:
    // each redraw is timed after a pause in which the picture foreseen is
    // drawn ahead, as the bar's window does when its message comes, all four
    // kinds alike.
    const auto pause = [&drawing] {
        drawing.drawAhead();
        ::Sleep(1);
    };
    for (int i = 0; i < each; ++i) {
        // Each changing redraw shows a text never drawn before: the seconds of
        // a countdown going down, each after the one before it, as the bar
        // shows them. A fresh surface draws its own new text and is made and
        // dropped beside the kept one, which keeps what it kept and shows.
        const std::wstring dropped = Text(IDS_DROPPED, {Decimal(i)});
        const auto timeFresh = [&] {
            fresh.time([&] {
                BarPicture picture = kept;
                picture.text = dropped;
                auto surface = std::make_unique<BarSurface>();
                if (surface->draw(picture)) drawing.present(*surface);
            });
        };
        const auto timeChanged = [&] {
            kept.text = Text(IDS_COUNTDOWN, {Decimal(each - i)});
            changed.time([&] { drawing.show(kept); });
        };
        const auto timeSame = [&] { same.time([&] { drawing.show(kept); }); };
        const auto timeFloor = [&] { floor.time([&] { drawing.present(); }); };
        // Each kind in turn comes first, so that none always follows the
        // same one (the drawing ahead, a fresh surface's allocations).
        for (int k = 0; k < 4; ++k) {
            pause();
            switch ((i + k) % 4) {
                case 0:
                    timeFresh();
                    break;
                case 1:
                    timeChanged();
                    break;
                case 2:
                    timeSame();
                    break;
                default:
                    timeFloor();
                    break;
            }
        }
    }
    floor.report(L"redraw-floor");
    same.report(L"redraw");
    changed.report(L"redraw-new-text");
    fresh.report(L"redraw-fresh");
    ComparePixels(shown);
    drawing.show(shown);
}

}  // namespace vorlane
