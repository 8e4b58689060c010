// One animation frame as the tick does it, on the cores alone: states, moves, and, when a
// sprite moved, the field's picture drawn (the fill and the 555 sprite copies) — the work
// of BM_Frame/100 without the desktop's drawing area. Built natively and for wasm, and run
// in pairs by bench/wasm_frame.sh; prints nanoseconds per frame.
//
//   bench_frame_core [frames] [temperature]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/app/FramePace.h"
#include "core/field/mdlSprite.h"
#include "core/render/FieldPicture.h"

namespace {

using namespace mdlSprite;

// Water with the default settings: freezing 0 ℃, all vapour from 101 ℃.
constexpr std::int32_t kFullVapor = 101, kFreeze = 0;

volatile std::uint32_t sink;

} // namespace

int main(int argc, char** argv)
{
    const long frames = argc > 1 ? std::atol(argv[1]) : 20000;
    const std::int32_t t = argc > 2 ? std::atoi(argv[2]) : 100;
    static MolField field;
    InitMolField(field, [] { return 43210.5f; });
    framepace::DrawnPlaces drawn;
    static render::FieldPicture picture;
    // A few seconds into the animation, where the tick would find it.
    for (int n = 0; n < 100; ++n) {
        SetMolStates(field, t, kFullVapor, kFreeze);
        framepace::MoveAll(field, drawn);
    }
    const auto start = std::chrono::steady_clock::now();
    for (long n = 0; n < frames; ++n) {
        SetMolStates(field, t, kFullVapor, kFreeze);
        if (framepace::MoveAll(field, drawn)) picture.Draw(field);
        sink = picture.Pixels()[(n * 7919) % (render::FieldPicture::kWidth * render::FieldPicture::kHeight)];
    }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.1f\n", frames > 0 ? ns / static_cast<double>(frames) : 0.0);
    return 0;
}
