// The plug-in's editor shown by a host through the module only: where it
// sits in the host's window, attaching and detaching, a second instance, the
// host's draw requests, what reaches the host's window compared with the
// editor rendered in-process, and the answers to attaches that cannot work.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compressor/Kestrom.h"
#include "compressor/KestromParams.h"
#include "graphics/LICE_Shapes.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "standins/extension/ExtensionStandIn.h"
#include "standins/windows/KestromWindows.h"
#include "tools/host/HostedEditor.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

namespace {

using kestrom::host::HostedEditor;
using kestrom::host::HostedPlugin;
using kestrom::host::ModuleHost;

constexpr int32_t kStereo = 0x4B735432;  // 'KsT2'
constexpr int kWidth = 298;
constexpr int kHeight = 400;

int Control(int param) { return param + 2; }

struct Hosted {
    Hosted() {
        EXPECT_TRUE(module.Load(KESTROM_MODULE, error)) << error;
        EXPECT_TRUE(plug.Create(kStereo, 48000, error)) << error;
    }
    ModuleHost module;
    HostedPlugin plug{module};
    std::string error;
};

std::vector<KsWin_Window> Children(void* window) {
    KsWin_Window out[4] = {};
    int32_t n = 0;
    KsWin_GetChildren(static_cast<KsWin_Window>(window), out, 4, &n);
    return std::vector<KsWin_Window>(out, out + std::min(n, 4));
}

// The host's extension library binds a port to a window (loaded by the
// module host, found in the process).
void BindPort(intptr_t port, void* window) {
    const auto bind = reinterpret_cast<decltype(&KsExtension_BindPort)>(dlsym(RTLD_DEFAULT, "KsExtension_BindPort"));
    ASSERT_NE(bind, nullptr);
    bind(port, window);
}

uint64_t Paints(void* window) {
    uint64_t n = 0;
    KsWin_GetPaintCount(static_cast<KsWin_Window>(window), &n);
    return n;
}

// The Kestrom editor rendered in-process by the display-less window layer:
// values set as a host sets them, the needle handed over as the processing
// does, clicks injected, the timer run until it draws nothing.
class InProcess {
public:
    InProcess() : ui(dynamic_cast<IGraphicsHeadless*>(plug.Editor())) {}
    InProcess& Set(int index, double value) {
        plug.Param(index)->Set(value);
        ui->SetParameterFromPlugin(index, plug.Param(index)->Value(), false);
        plug.HandleParamChange(index);
        return *this;
    }
    InProcess& Needle(double value) {
        ui->SetParameterFromPlugin(kestrom::kMeterIndex, value, true);
        return *this;
    }
    InProcess& Click(int x, int y) {
        Settle();
        ui->Click(x, y);
        return *this;
    }
    HostedEditor::Picture Picture() {
        Settle();
        HostedEditor::Picture p;
        p.width = ui->Width();
        p.height = ui->Height();
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const IRgba c = ui->ScreenPixel(x, y);
                p.rgb.insert(p.rgb.end(), {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                           static_cast<unsigned char>(c.b)});
            }
        return p;
    }

private:
    void Settle() {
        if (!ui->IsWindowOpen()) ui->OpenWindow(nullptr);
        while (ui->Tick()) {
        }
    }
    Kestrom plug;
    IGraphicsHeadless* ui;
};

int DifferingPixels(const HostedEditor::Picture& a, const HostedEditor::Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return -1;
    int differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        differing += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    return differing;
}

HostedEditor::Picture Captured(const HostedEditor& editor) {
    HostedEditor::Picture p;
    std::string error;
    EXPECT_TRUE(editor.Capture(p, error)) << error;
    return p;
}

TEST(EditorEmbedding, TheEditorSitsAtTheBottomOfTheHostsClientAreaCentredAcross) {
    Hosted h;
    const struct {
        int width, height;
        int x, y;
    } cases[] = {{298, 400, 0, 0}, {398, 400, 50, 0}, {397, 400, 49, 0}, {298, 430, 0, 30}, {400, 500, 51, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        HostedEditor editor(h.module, h.plug);
        ASSERT_TRUE(editor.Open(h.error, c.width, c.height)) << h.error;
        const std::vector<KsWin_Window> children = Children(editor.HostWindow());
        ASSERT_EQ(children.size(), 1u);
        char name[32] = {};
        KsWin_GetClassName(children[0], name, sizeof name);
        EXPECT_STREQ(name, "IPlugLocal");
        KsWin_Rect at{};
        ASSERT_EQ(KsWin_GetWindowRect(children[0], &at), KSWIN_OK);
        EXPECT_EQ(std::vector<int>({at.left, at.top, at.right, at.bottom}),
                  std::vector<int>({c.x, c.y, c.x + kWidth, c.y + kHeight}));
        EXPECT_EQ(Children(children[0]).size(), 1u);  // the editor's own window
    }
}

TEST(EditorEmbedding, DetachingClosesTheEditorAndAttachingOpensItAgain) {
    Hosted h;
    HostedEditor editor(h.module, h.plug);
    ASSERT_TRUE(editor.Open(h.error)) << h.error;
    ASSERT_TRUE(editor.Settle(h.error)) << h.error;
    EXPECT_TRUE(editor.IsAttached());
    const HostedEditor::Picture first = Captured(editor);
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(editor.Detach(h.error)) << h.error;
        EXPECT_FALSE(editor.IsAttached());
        EXPECT_TRUE(Children(editor.HostWindow()).empty());
        const uint64_t before = Paints(editor.HostWindow());
        ASSERT_TRUE(editor.Settle(h.error)) << h.error;
        EXPECT_EQ(Paints(editor.HostWindow()), before);  // nothing draws while detached
        ASSERT_TRUE(editor.Detach(h.error)) << h.error;   // detaching twice is harmless

        ASSERT_TRUE(editor.Attach(h.error)) << h.error;
        EXPECT_TRUE(editor.IsAttached());
        ASSERT_EQ(Children(editor.HostWindow()).size(), 1u);
        ASSERT_TRUE(editor.Settle(h.error)) << h.error;
        EXPECT_EQ(DifferingPixels(Captured(editor), first), 0);
    }
    // Attached to another host window without a detach, the editor leaves the first.
    HostedEditor other(h.module, h.plug);
    ASSERT_TRUE(other.Open(h.error)) << h.error;
    EXPECT_TRUE(Children(editor.HostWindow()).empty());
    EXPECT_EQ(Children(other.HostWindow()).size(), 1u);
}

TEST(EditorEmbedding, ASecondInstanceShowsItsOwnEditorBesideTheFirst) {
    Hosted h;
    HostedPlugin second(h.module);
    ASSERT_TRUE(second.Create(kStereo, 44100, h.error)) << h.error;
    HostedEditor one(h.module, h.plug), two(h.module, second);
    ASSERT_TRUE(one.Open(h.error)) << h.error;
    ASSERT_TRUE(two.Open(h.error)) << h.error;  // its child class is registered already: still fine
    ASSERT_TRUE(second.SetControlNumber(Control(kestrom::kDeep), 1.0, h.error)) << h.error;
    ASSERT_TRUE(one.Settle(h.error) && two.Settle(h.error)) << h.error;
    EXPECT_EQ(DifferingPixels(Captured(one), InProcess().Picture()), 0);  // each shows its own state
    EXPECT_EQ(DifferingPixels(Captured(two), InProcess().Set(kestrom::kDeep, 1).Picture()), 0);
}

TEST(EditorEmbedding, TheHostsDrawRequestMarksEveryControlDirtyAndDrawsNothingItself) {
    Hosted h;
    HostedEditor editor(h.module, h.plug);
    ASSERT_TRUE(editor.Open(h.error)) << h.error;
    ASSERT_TRUE(editor.Settle(h.error)) << h.error;
    const HostedEditor::Picture drawn = Captured(editor);
    // Scribble over the editor's own window, as a stale screen would show.
    const KsWin_Window child = Children(editor.HostWindow()).at(0);
    const KsWin_Window own = Children(child).at(0);
    const std::vector<uint32_t> scribble(static_cast<size_t>(kWidth) * kHeight, 0xFF00FF00);
    ASSERT_EQ(KsWin_WritePixels(own, 0, 0, kWidth, kHeight, scribble.data(), kWidth), KSWIN_OK);
    const HostedEditor::Picture scribbled = Captured(editor);
    ASSERT_EQ(DifferingPixels(scribbled, drawn), kWidth * kHeight);
    // Nothing is dirty: the pump leaves the scribble alone.
    ASSERT_TRUE(editor.Settle(h.error)) << h.error;
    EXPECT_EQ(DifferingPixels(Captured(editor), scribbled), 0);
    // The request draws nothing by itself ...
    const uint64_t before = Paints(editor.HostWindow());
    ASSERT_TRUE(editor.RequestDraw(h.error)) << h.error;
    EXPECT_EQ(Paints(editor.HostWindow()), before);
    EXPECT_EQ(DifferingPixels(Captured(editor), scribbled), 0);
    // ... and the next redraw covers every pixel of the editor.
    KsWin_RunTimers(40, nullptr);
    EXPECT_EQ(Paints(editor.HostWindow()), before + 1);
    EXPECT_EQ(DifferingPixels(Captured(editor), drawn), 0);
}

TEST(EditorEmbedding, TheHostsWindowShowsExactlyWhatTheEditorDrawsInProcess) {
    using namespace kestrom;
    struct Case {
        const char* name;
        std::function<void(Hosted&, HostedEditor&)> host;
        std::function<void(InProcess&)> direct;
    };
    const auto set = [](Hosted& h, int param, double value) {
        ASSERT_TRUE(h.plug.SetControlNumber(Control(param), value, h.error)) << h.error;
    };
    const auto click = [](Hosted& h, HostedEditor& e, int x, int y) {
        ASSERT_TRUE(e.Click(x, y, h.error)) << h.error;
        ASSERT_TRUE(e.Settle(h.error)) << h.error;
    };
    const Case cases[] = {
        {"defaults", [](Hosted&, HostedEditor&) {}, [](InProcess&) {}},
        {"the README's picture: In 6, Out 2, Relaxed, 6 dB of reduction",
         [&](Hosted& h, HostedEditor&) {
             set(h, kIn, 6);
             set(h, kOut, 2);
             set(h, kRelaxed, 1);
             EXPECT_TRUE(h.plug.ShowMeter(0, 6.0 / 22.0));
         },
         [](InProcess& d) { d.Set(kIn, 6).Set(kOut, 2).Set(kRelaxed, 1).Needle(6.0 / 22.0); }},
        {"Power off, needle at full scale",
         [&](Hosted& h, HostedEditor&) {
             set(h, kPower, 0);
             set(h, kNegative, 1);
             EXPECT_TRUE(h.plug.ShowMeter(0, 1.0));
         },
         [](InProcess& d) { d.Set(kPower, 0).Set(kNegative, 1).Needle(1.0); }},
        {"help card shown, hidden, then Power clicked",
         [&](Hosted& h, HostedEditor& e) {
             click(h, e, 100, 30);
             click(h, e, 200, 380);
             click(h, e, 150, 90);
         },
         [](InProcess& d) { d.Click(100, 30).Click(200, 380).Click(150, 90); }},
    };
    const HostedEditor::Picture atRest = InProcess().Picture();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Hosted h;
        HostedEditor editor(h.module, h.plug);
        ASSERT_TRUE(editor.Open(h.error)) << h.error;
        ASSERT_TRUE(editor.Settle(h.error)) << h.error;
        c.host(h, editor);
        ASSERT_TRUE(editor.Settle(h.error)) << h.error;
        const HostedEditor::Picture hosted = Captured(editor);
        EXPECT_EQ(hosted.width, kWidth);
        EXPECT_EQ(hosted.height, kHeight);
        EXPECT_EQ(hosted.rgb.size(), static_cast<size_t>(kWidth * kHeight * 3));
        InProcess direct;
        c.direct(direct);
        EXPECT_EQ(DifferingPixels(hosted, direct.Picture()), 0);
        if (std::string(c.name) != "defaults") {
            EXPECT_GT(DifferingPixels(hosted, atRest), 0);
        }
    }
}

// A host that destroys the instance while its editor is attached: directly,
// or from inside a callback that a click in the editor caused (the click on
// Deep reports touched, set-value, released). From the moment the destroy
// answers, no callback carries the handle, the editor's child window is gone
// from the host's window and the editor takes no more input.
TEST(EditorEmbedding, DestroyingTheInstanceTakesItsEditorAwayAndNothingMoreReachesTheHost) {
    enum class When { kDirectly, kAtTouched, kAtSetValue };
    struct DestroyingHost {
        PI_InstanceProc destroy = nullptr;
        PI_ControlSetIntProc setControl = nullptr;
        When when = When::kDirectly;
        PI_Instance destroyed = 0;
        std::vector<std::string> calls;       // before the destroy answered
        std::vector<std::string> afterwards;  // any call after it: none allowed

        void Heard(const std::string& what, PI_Instance instance) {
            (destroyed != 0 ? afterwards : calls).push_back(what + ":" + std::to_string(instance));
        }
        void DestroyAt(When moment, PI_Instance instance) {
            if (when != moment || destroyed != 0) return;
            EXPECT_EQ(destroy(instance), PI_NoErr);
            destroyed = instance;
        }
    };
    const struct {
        const char* name;
        When when;
        std::vector<std::string> heard;
    } cases[] = {{"destroyed directly", When::kDirectly, {}},
                 {"destroyed at the click's touched", When::kAtTouched, {"touch"}},
                 {"destroyed at the click's set-value", When::kAtSetValue, {"touch", "set"}}};
    constexpr int kDeepX = 37 + 16, kDeepY = 322 + 16;  // the middle of Deep's LED
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Hosted h;
        const kestrom::host::ModuleRoutines& r = h.module.Routines();
        HostedEditor editor(h.module, h.plug);
        ASSERT_TRUE(editor.Open(h.error)) << h.error;
        ASSERT_TRUE(editor.Settle(h.error)) << h.error;
        ASSERT_EQ(Children(editor.HostWindow()).size(), 1u);
        const PI_Instance handle = h.plug.Handle();

        DestroyingHost host;
        host.destroy = r.destroyInstance;
        host.setControl = r.setControlValue;
        host.when = c.when;
        PI_HostCallbacks callbacks{};
        callbacks.context = &host;
        callbacks.controlTouched = [](void* context, PI_Instance instance, int32_t) {
            auto* self = static_cast<DestroyingHost*>(context);
            self->Heard("touch", instance);
            self->DestroyAt(When::kAtTouched, instance);
        };
        callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t value) {
            auto* self = static_cast<DestroyingHost*>(context);
            self->Heard("set", instance);
            self->DestroyAt(When::kAtSetValue, instance);
            if (self->destroyed == 0) {
                EXPECT_EQ(self->setControl(instance, control, value), PI_NoErr);
            }
        };
        callbacks.controlReleased = [](void* context, PI_Instance instance, int32_t) {
            static_cast<DestroyingHost*>(context)->Heard("release", instance);
        };
        ASSERT_EQ(r.setHostCallbacks(handle, &callbacks), PI_NoErr);

        if (c.when == When::kDirectly) {
            host.DestroyAt(When::kDirectly, handle);
        } else {
            ASSERT_TRUE(editor.Click(kDeepX, kDeepY, h.error)) << h.error;
        }
        ASSERT_EQ(host.destroyed, handle);
        std::vector<std::string> expected;
        for (const std::string& what : c.heard) expected.push_back(what + ":" + std::to_string(handle));
        EXPECT_EQ(host.calls, expected);
        EXPECT_TRUE(Children(editor.HostWindow()).empty());

        // More clicks where the editor was, and its timer's time: nothing.
        for (int click = 0; click < 3; ++click)
            for (const uint32_t type : {KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_UP}) {
                const KsWin_MouseInput input{type, kDeepX, kDeepY, KSWIN_BUTTON_LEFT, 0, 0};
                KsWin_SendMouse(static_cast<KsWin_Window>(editor.HostWindow()), &input, nullptr);
            }
        KsWin_RunTimers(500, nullptr);
        EXPECT_TRUE(host.afterwards.empty()) << host.afterwards.front();
        int32_t open = -1;
        EXPECT_EQ(r.editorIsOpen(handle, &open), PI_ErrBadInstance);
    }
}

TEST(EditorEmbedding, AttachesThatCannotShowAnythingSaySo) {
    Hosted h;
    const kestrom::host::ModuleRoutines& r = h.module.Routines();
    const PI_Instance instance = h.plug.Handle();
    int32_t open = -1;
    // A port the host bound to no window.
    EXPECT_EQ(r.setWindow(instance, 0x7777), PI_ErrBadValue);
    ASSERT_EQ(r.editorIsOpen(instance, &open), PI_NoErr);
    EXPECT_EQ(open, 0);
    // (A host may attach before asking for the size: the editor shows all the same.)
    KsWin_ClassInfo host{"EarlyHost", &open, nullptr, 0, 0};
    ASSERT_EQ(KsWin_RegisterClass(&host), KSWIN_OK);
    KsWin_Window early = nullptr;
    ASSERT_EQ(KsWin_CreateWindow("EarlyHost", &open, nullptr, 0, nullptr, 0, 0, kWidth, kHeight, nullptr, &early),
              KSWIN_OK);
    BindPort(0x7779, early);
    EXPECT_EQ(r.setWindow(instance, 0x7779), PI_NoErr);
    EXPECT_EQ(Children(early).size(), 1u);
    EXPECT_EQ(r.setWindow(instance, 0), PI_NoErr);
    EXPECT_TRUE(Children(early).empty());

    // A host window that is gone: the window system's error is the module's failure.
    HostedEditor editor(h.module, h.plug);
    ASSERT_TRUE(editor.Open(h.error)) << h.error;
    KsWin_DestroyWindow(early);
    BindPort(0x7778, early);
    EXPECT_EQ(r.setWindow(instance, 0x7778), PI_ErrInternal);
    ASSERT_EQ(r.editorIsOpen(instance, &open), PI_NoErr);
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(Children(editor.HostWindow()).empty());  // the earlier attach was taken down
    // ... and the next good attach works.
    ASSERT_TRUE(editor.Attach(h.error)) << h.error;
    ASSERT_TRUE(editor.Settle(h.error)) << h.error;
    EXPECT_EQ(DifferingPixels(Captured(editor), InProcess().Picture()), 0);

    // The host destroying its window under an attached editor closes the editor.
    KsWin_DestroyWindow(static_cast<KsWin_Window>(editor.HostWindow()));
    uint32_t fired = 99;
    KsWin_RunTimers(1000, &fired);
    EXPECT_EQ(fired, 0u);
    EXPECT_EQ(r.setWindow(instance, 0), PI_NoErr);
}

}  // namespace
