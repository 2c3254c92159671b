#include "files/picturetext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kt {
namespace {

// Every setting away from its default, with values no short decimal holds,
// so that a field written in too few digits or read in the wrong width shows.
Picture unusual()
{
    Picture p = builtinpicture(2);
    p.set.a = 0.1 + 0.2;
    p.set.c = -std::nextafter(1.0 / 3.0, 1.0);
    p.set.n = -7;
    p.set.scale = 1e-300;
    p.set.zstart = -0.0;
    p.rotation = VOXEL{359.999999999999999L, 1.0L / 3.0L, 0};
    p.order = 4;
    p.palette = "/tmp/a \"quoted\" palette.map";
    p.background = RGB(1, 2, 3);
    p.transparent = true;
    p.width = 1920;
    p.height = 1080;
    p.supersample = 3;
    p.steps = 123456789012ull;
    p.orbits = 4096;
    p.fit = true;
    p.margin = 0.1;
    p.tone = Tone::depth;
    p.brightness = std::sqrt(2.0);
    p.gamma = 2.2;
    p.depth = 16;
    p.nadjust = 9;
    return p;
}

TEST(PictureTextTest, EveryValueReadsBackToTheBitOnOneLineOrMany)
{
    const Picture p = unusual();
    for (bool oneline : {false, true}) {
        const PictureRead read = readpicture(picturetext(p, oneline));
        ASSERT_TRUE(read.picture) << read.error;
        EXPECT_EQ(*read.picture, p);
        EXPECT_TRUE(std::signbit(read.picture->set.zstart));
        EXPECT_EQ(picturetext(*read.picture, oneline), picturetext(p, oneline));
    }
    // Fields left out are the built-in picture's.
    const PictureRead partial = readpicture(R"({"formula": 2, "steps": 5000})");
    ASSERT_TRUE(partial.picture) << partial.error;
    Picture expected = builtinpicture(2);
    expected.steps = 5000;
    EXPECT_EQ(*partial.picture, expected);
}

TEST(PictureTextTest, BadTextIsRefusedNamingTheField)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "not a picture's text"},
        {"[1, 2]", "a picture is an object"},
        {R"({"formula": 1,)", "breaks off"},
        {R"({"formula": 3})", "formula takes 1 or 2"},
        {R"({"alpha": "two"})", "alpha takes a number"},
        {R"({"alpha": 1e999})", "goes wrong at character 15"},
        {R"({"n": 2.5})", "n takes a whole number"},
        {R"({"n": 100000})", "n and p are too large"},
        {R"({"scale": 0})", "scale takes a positive finite number"},
        {R"({"rotation": [1, 2]})", "rotation takes a list of three angles"},
        {R"({"rotation": [1, 2, 361]})", "each an angle from 0 to 360"},
        {R"({"order": "XXY"})", "order takes XYZ"},
        {R"({"background": [0, 0, 256]})", "background takes a list of three numbers from 0 to 255"},
        {R"({"width": 100, "height": 100})", "size takes a side from 200 to 16384"},
        {R"({"width": 800, "height": 600})", "not square"},
        {R"({"width": 600, "height": 10, "tone": "density"})", "each side from 16 to 16384"},
        {R"({"steps": -1})", "steps takes a whole number"},
        {R"({"orbits": 0})", "orbits takes a whole number from 1 to 1000000"},
        {R"({"tone": "glow"})", "tone takes hit, density or depth"},
        {R"({"tone": "density", "coloring": "z"})", "colours by hit count"},
        {R"({"depth": 16})", "need a tone"},
        {R"({"filter": "blur"})", "filter takes none"},
        {R"({"fit": 1})", "fit takes true or false"},
        {R"({"start": {"x": 1}})", "field start holds an object"},
        {R"({"size": 600})", "field size is not a picture's"},
        {R"({"steps": 1, "steps": 2})", "field steps is given twice"},
    };
    for (const auto& c : cases) {
        const PictureRead read = readpicture(c.text);
        EXPECT_FALSE(read.picture) << c.text;
        EXPECT_NE(read.error.find(c.error), std::string::npos) << c.text << ": " << read.error;
    }
}

} // namespace
} // namespace kt
