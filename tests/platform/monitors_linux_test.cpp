// Where the monitors are, as RandR and sway tell it.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/monitors_linux.h"

namespace velmora::platform {
namespace {

TEST(Monitors, RandrAndSwayListingsGiveNamesAndRectangles) {
    const std::string randr = "Monitors: 3\n"
                              " 0: +DP-1 1080/300x1920/530+1920+0  DP-1\n"
                              " 1: +*HDMI-1 1920/510x1080/290+0+420  HDMI-1\n"
                              " 2: +left 800/1x600/1-800-100  none\n"
                              " 3: broken line\n";
    EXPECT_EQ(parseRandrMonitors(randr), (std::vector<Monitor>{{"HDMI-1", {0, 420, 1920, 1080}},
                                                               {"DP-1", {1920, 0, 1080, 1920}},
                                                               {"left", {-800, -100, 800, 600}}}));
    const std::string sway = R"([{"id": 3, "name": "HEADLESS-1", "active": true, "rect": {"x": 0, "y": 0,
        "width": 1280, "height": 720}, "modes": [{"width": 1280, "height": 720}], "current_mode": {"width": 1280}},
      {"id": 4, "name": "HEADLESS-2", "active": false, "rect": {"x": 0, "y": 0, "width": 0, "height": 0}},
      {"id": 5, "name": "HEADLESS-3", "active": true, "rect": {"x": 1280, "y": -200, "width": 600,
        "height": 800}}])";
    EXPECT_EQ(parseSwayOutputs(sway), (std::vector<Monitor>{{"HEADLESS-1", {0, 0, 1280, 720}},
                                                            {"HEADLESS-3", {1280, -200, 600, 800}}}));
    // As sway itself prints it: "rect" before "name", and objects with their own sizes inside.
    const std::string real = R"([
  {
    "id": 3,
    "rect": {
      "x": 0,
      "y": 0,
      "width": 1280,
      "height": 720
    },
    "geometry": {"x": 5, "y": 5, "width": 0, "height": 0},
    "name": "HEADLESS-1",
    "nodes": [{"name": "1", "rect": {"x": 9, "y": 9, "width": 9, "height": 9}, "active": true}],
    "active": true
  },
  {"rect": {"x": 1280, "y": 0, "width": 1920, "height": 1080}, "name": "HEADLESS-\"2", "active": true}
])";
    EXPECT_EQ(parseSwayOutputs(real), (std::vector<Monitor>{{"HEADLESS-1", {0, 0, 1280, 720}},
                                                            {"HEADLESS-\\\"2", {1280, 0, 1920, 1080}}}));
    EXPECT_TRUE(parseRandrMonitors("").empty());
    for (const char* bad : {"not json", "[", "[{\"name", "[{\"name\": \"A\", \"active\": true, \"rect\": {\"x\": 1",
                            "[{\"rect\": {\"x\": 0, \"y\": 0, \"width\": 99999999, \"height\": 1}, \"name\": \"A\", "
                            "\"active\": true}]"})
        EXPECT_TRUE(parseSwayOutputs(bad).empty()) << bad;
}

}  // namespace
}  // namespace velmora::platform
