#include "platform/control.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/form.h"
#include "platform/panel.h"
#include "platform/text.h"

namespace platform {
namespace {

struct Probe : Owned {
  Probe(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
  ~Probe() override { log.push_back(name); }
  std::vector<std::string>& log;
  std::string name;
};

TEST(Control, DestroyingTheWindowReleasesEveryOwnedObjectOnceInReverseOrder) {
  std::vector<std::string> log;
  HWND panelHwnd = nullptr;
  {
    Form form("owner");
    Panel& panel = form.Add<Panel>(Edge::None);
    panelHwnd = panel.Handle();
    form.Own(std::make_unique<Probe>(log, "first"));
    form.Own(std::make_unique<Probe>(log, "second"));
    panel.Own(std::make_unique<Probe>(log, "in panel"));
    form.Destroy();
    EXPECT_FALSE(IsWindow(panelHwnd)) << "child windows go with the parent";
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "in panel"}));
  }
  EXPECT_EQ(log.size(), 3u) << "the destructor after Destroy releases nothing twice";
}

TEST(Control, NoEventReachesAChildWhileItsParentIsTornDown) {
  struct Counter : Control {
    explicit Counter(Control& parent, int& calls) : Control(&parent), calls(calls) {
      CreateHandle(nullptr, WS_VISIBLE, 0, {0, 0, 10, 10});
    }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg == WM_DESTROY) ++calls;
      return DefaultHandling(msg, wp, lp);
    }
    int& calls;
  };
  int calls = 0;
  {
    Form form("owner");
    form.Add<Counter>(calls);
  }
  EXPECT_EQ(calls, 0) << "WM_DESTROY of a dying child must not reach its handlers";
}

TEST(Control, DockedChildrenFollowTheParentsClientArea) {
  Form form("dock");
  form.SetGap(0);
  form.SetSize(696, 506);
  Panel& left = form.Add<Panel>(Edge::None);
  left.SetAlign(Align::Left);
  left.SetWidth(167);
  Panel& status = form.Add<Panel>(Edge::Sunken);
  status.SetAlign(Align::Bottom);
  status.SetHeight(17);
  Panel& fill = form.Add<Panel>(Edge::Sunken);
  fill.SetAlign(Align::Client);

  auto check = [&] {
    const Rect c = form.ClientRect();
    EXPECT_EQ(status.Bounds(), (Rect{0, c.bottom - 17, c.right, c.bottom}));
    EXPECT_EQ(left.Bounds(), (Rect{0, 0, 167, c.bottom - 17}));
    EXPECT_EQ(fill.Bounds(), (Rect{167, 0, c.right, c.bottom - 17}));
  };
  check();
  form.SetSize(500, 400);
  check();
  form.SetSize(900, 700);
  check();
}

TEST(Control, ChildTakesParentsGapAtCreation) {
  Form form("gap");
  form.SetGap(0);
  Panel& panel = form.Add<Panel>(Edge::None);
  EXPECT_EQ(panel.Gap(), 0);
  form.SetGap(3);
  EXPECT_EQ(panel.Add<Panel>(Edge::None).Gap(), 0) << "inherits from its own parent";
  EXPECT_EQ(form.Add<Panel>(Edge::None).Gap(), 3);
}

TEST(Control, TextsRoundTripAsWindows1251) {
  const std::string russian = "\xD0\xE0\xE7\xEC\xE5\xF0: 64x48";  // "Размер: 64x48"
  EXPECT_EQ(Widen(russian), L"\u0420\u0430\u0437\u043C\u0435\u0440: 64x48");
  EXPECT_EQ(Narrow(Widen(russian)), russian);
  Form form(russian);
  EXPECT_EQ(form.Text(), russian);
  wchar_t caption[64] = {};
  GetWindowTextW(form.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"\u0420\u0430\u0437\u043C\u0435\u0440: 64x48") << "the system sees real Cyrillic";
}

TEST(Application, CloseRequestToTheMainFormEndsTheLoop) {
  Application::Reset();
  Form form("main");
  Application::SetMainForm(&form);
  PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  Application::ProcessUntil([] { return false; });
  EXPECT_TRUE(Application::Terminated());
  EXPECT_NE(form.Handle(), nullptr) << "the window is destroyed after the loop, not by the close request";
  Application::Reset();
}

TEST(Form, ShowEventRunsOnEachHiddenToShownChange) {
  Form form("show");
  int shows = 0;
  form.OnShow = [&](Form&) { ++shows; };
  form.Show();
  form.Show();
  EXPECT_EQ(shows, 1);
  form.Hide();
  form.Show();
  EXPECT_EQ(shows, 2);
}

}  // namespace
}  // namespace platform
