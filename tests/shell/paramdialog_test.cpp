#include <gtest/gtest.h>

#include <cstring>

#include "shell/paramdialog.h"
#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "support/platform/dialogscript.h"
#include "support/shell/desktopstatefixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class ParamDialogTest : public testing::DesktopStateTest {
protected:
    void SetUp() override
    {
        DesktopStateTest::SetUp();
        desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[desktop->engine.type], desktop->engine.type};
        desktop->engine.saveres = desktop->engine.res;
    }
    // Types into the fields given, then clicks OK (and Cancel after a refused OK).
    testing::DialogRun ok(std::map<int, std::string> typed)
    {
        return testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [typed](HWND d) {
            for (const auto& [id, text] : typed)
                usertypes(d, id, text);
            userclicks(d, IDOK);
        });
    }
    bool same(const ICON& a, const ICON& b) { return std::memcmp(&a, &b, sizeof(ICON)) == 0; }
};

TEST_F(ParamDialogTest, OpensWithTheStoredSetAndSize)
{
    auto run = ok({});
    EXPECT_EQ(run.shown[620], "-2.290000000000000");
    EXPECT_EQ(run.shown[625], "11");
    EXPECT_EQ(run.shown[626], "0");
    EXPECT_EQ(run.shown[627], "1.000000000000000");
    EXPECT_EQ(run.shown[628], "600");
    EXPECT_FALSE(run.enabled[626]) << "p is for formula 2 only";
    EXPECT_TRUE(run.checked[650]);
    EXPECT_EQ(headless().dialogs[0], "                  Dravune 3D Parameters");
}

TEST_F(ParamDialogTest, OkWithoutEditsStoresSilentlyEvenAFailingSet)
{
    desktop->engine.icon[0] = ICON{0, 0, 0, 2, 0, 2, 0, 1.0, 0.5, 0.5, 0.1}; // x' = 2x: escapes
    const ICON before = desktop->engine.icon[0];
    EXPECT_EQ(ok({}).result, 1);
    EXPECT_TRUE(headless().messageboxes.empty());
    EXPECT_TRUE(same(desktop->engine.icon[0], before));
}

TEST_F(ParamDialogTest, FieldsAreParsedAndClamped)
{
    desktop->engine.type = 1;
    desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[1], 1};
    headless().onmessagebox = [&](const MessageBoxRequest&) { return IDOK; };
    ok({{620, "25"},
        {621, "0.0000001"},
        {622, "-0.0000001"},
        {623, "  -2.0xyz"},
        {624, "abc"},
        {625, "7.9"},
        {626, "45"},
        {627, "0"},
        {628, "100"}});
    const ICON& t = desktop->engine.icon[1];
    EXPECT_EQ(t.a, 20);
    EXPECT_EQ(t.b, 1e-6);
    EXPECT_EQ(t.c, -1e-6);
    EXPECT_EQ(t.d, -2.0);
    EXPECT_EQ(t.e, 0);
    EXPECT_EQ(t.n, 7);
    EXPECT_EQ(t.p, 30);
    EXPECT_EQ(t.scale, 0.1);
    EXPECT_EQ(desktop->engine.res, 200);

    desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[1], 1};
    ok({{625, "100"},
        {626, "-3"},
        {627, "12"},
        {628, "5000"},
        {620, "3.79"},
        {621, "-3.24"},
        {622, "0.58"},
        {623, "-2"},
        {624, "-0.27"}});
    EXPECT_EQ(desktop->engine.icon[1].n, 60);
    EXPECT_EQ(desktop->engine.icon[1].p, 0);
    EXPECT_EQ(desktop->engine.icon[1].scale, 5.0);
    EXPECT_EQ(desktop->engine.res, 4000);
}

TEST_F(ParamDialogTest, NForFormulaOneAndTheDisabledPField)
{
    // A contraction never escapes whatever n is: its sets are accepted after
    // the advisory.
    desktop->engine.icon[0] = ICON{0, 0, 0, 0.9999, 0, 11, 7, 1.0, 0.1, 0.003, 0.1};
    desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[0], 0};
    headless().onmessagebox = [&](const MessageBoxRequest&) { return IDOK; };
    ok({{625, "1"}, {626, "12"}});
    EXPECT_EQ(desktop->engine.icon[0].n, 2);
    EXPECT_EQ(desktop->engine.icon[0].p, 7) << "the disabled field is ignored";
    desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[0], 0};
    ok({{625, "100"}});
    EXPECT_EQ(desktop->engine.icon[0].n, 25);
}

TEST_F(ParamDialogTest, AnUnstableChangeIsRefusedAndCancelRestoresEverything)
{
    const ICON before = desktop->engine.icon[0];
    const auto run = testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 620, "20");
        usertypes(d, 623, "20");
        usertypes(d, 628, "1000");
        userclicks(d, IDOK);
        EXPECT_FALSE(d->dialogEnded) << "the dialog stays open";
        EXPECT_EQ(desktop->engine.res, 1000) << "the size is stored before the test";
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(run.result, 2);
    ASSERT_EQ(headless().messageboxes.size(), 1u);
    const auto& box = headless().messageboxes[0];
    EXPECT_EQ(box.text, "This combination of parameters\n     is unstable;\n\nPlease try another set.");
    EXPECT_EQ(box.caption, "Parameter Error");
    EXPECT_EQ(box.type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_TRUE(same(desktop->engine.icon[0], before));
    EXPECT_EQ(desktop->engine.res, 600);
    EXPECT_EQ(desktop->engine.type, 0);
}

TEST_F(ParamDialogTest, AWeakSetIsAcceptedAfterItsAdvisory)
{
    // A contraction: not chaotic (code 3); then a low limit that fails on dimension (code 4).
    ok({{620, "0"}, {621, "0"}, {622, "0"}, {623, "0.9999"}, {624, "0"}, {625, "2"}});
    ASSERT_EQ(headless().messageboxes.size(), 1u);
    const std::string text = headless().messageboxes[0].text;
    EXPECT_EQ(text.rfind("Lyapunov exponent: ", 0), 0u);
    EXPECT_NE(text.find("\n\nThe attractor may not be chaotic\n   enough to produce an appealing\n   image."),
              std::string::npos);
    EXPECT_EQ(text.find("fractal dimension"), std::string::npos);
    EXPECT_EQ(headless().messageboxes[0].caption, "KT Dravune");
    EXPECT_EQ(desktop->engine.icon[0].d, 0.9999) << "stored after the message";

    headless().messageboxes.clear();
    // A chaotic set whose orbit is nearly a curve: dimension about 1.0.
    desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[0], 0};
    ok({{620, "-2.168797875912"},
        {621, "-0.492629779962"},
        {622, "0.913327433088"},
        {623, "1.866359447004"},
        {624, "-0.03192999054"},
        {625, "2"}});
    ASSERT_EQ(headless().messageboxes.size(), 1u);
    char expected[200];
    std::snprintf(expected, sizeof expected, "Lyapunov exponent: %.6f\n\nfractal dimension: %.6f",
                  desktop->screening.LExp, desktop->screening.FD);
    EXPECT_EQ(headless().messageboxes[0].text.rfind(expected, 0), 0u) << headless().messageboxes[0].text;
}

TEST_F(ParamDialogTest, SwitchingTheFormulaReloadsTheFields)
{
    const auto run = testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 620, "1.5");
        usertypes(d, 628, "999");
        userclicks(d, 651);
        char text[32];
        GetDlgItemTextA(d, 620, text, sizeof text);
        EXPECT_STREQ(text, "3.790000000000000");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, 626)));
        userclicks(d, 650);
        GetDlgItemTextA(d, 620, text, sizeof text);
        EXPECT_STREQ(text, "-2.290000000000000") << "edits not confirmed are discarded";
        GetDlgItemTextA(d, 628, text, sizeof text);
        EXPECT_STREQ(text, "600");
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(desktop->engine.type, 0);
}

TEST_F(ParamDialogTest, ParameterDisplayModeShowsTheMeasures)
{
    desktop->search.debugflag = 1;
    ok({});
    ASSERT_EQ(headless().messageboxes.size(), 1u);
    EXPECT_EQ(headless().messageboxes[0].caption, "KT Dravune 3D");
    EXPECT_EQ(headless().messageboxes[0].text.rfind("Lyapunov exponent: 0.5", 0), 0u);
}

TEST_F(ParamDialogTest, AnUnreadableCoefficientIsTakenAsTheLowest)
{
    // Whatever the screen makes of it, "nan" must fare exactly as -20 does.
    struct Outcome {
        ICON icon;
        std::vector<std::string> messages;
    };
    const ICON start = desktop->engine.icon[0];
    const auto confirm = [&](const std::string& alpha) {
        desktop->engine.icon[0] = start;
        headless().messageboxes.clear();
        desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[0], 0};
        testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [&](HWND d) {
            usertypes(d, 620, alpha);
            userclicks(d, IDOK);
            if (!d->dialogEnded)
                userclicks(d, IDCANCEL);
        });
        Outcome outcome{desktop->engine.icon[0], {}};
        for (const auto& box : headless().messageboxes)
            outcome.messages.push_back(box.text);
        return outcome;
    };
    headless().onmessagebox = [&](const MessageBoxRequest&) { return IDOK; };
    const Outcome lowest = confirm("-20");
    const Outcome unreadable = confirm("nan");
    EXPECT_EQ(unreadable.icon.a, -20.0);
    EXPECT_EQ(unreadable.icon.a, lowest.icon.a);
    EXPECT_EQ(unreadable.messages, lowest.messages);
}

TEST_F(ParamDialogTest, NothingTypedCanBreakIt)
{
    headless().onmessagebox = [&](const MessageBoxRequest&) { return IDOK; };
    const std::string junk[] = {"nan", "inf", "-inf", "1e999999", std::string(200, '9'), "0x1p3", "\t\n 5", ""};
    for (const std::string& text : junk) {
        desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[0], 0};
        testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [&](HWND d) {
            for (int id = 620; id <= 628; ++id)
                usertypes(d, id, text);
            userclicks(d, IDOK);
            if (!d->dialogEnded)
                userclicks(d, IDCANCEL);
        });
        EXPECT_GE(desktop->engine.res, 200);
        EXPECT_LE(desktop->engine.res, 4000);
        EXPECT_GE(desktop->engine.icon[0].n, 2);
        EXPECT_LE(desktop->engine.icon[0].n, 25);
        EXPECT_GE(desktop->engine.icon[0].scale, 0.1) << text;
        EXPECT_LE(desktop->engine.icon[0].scale, 5.0);
    }
}

} // namespace
} // namespace kt
