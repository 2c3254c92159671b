#pragma once
// The program's resources: the menu and accelerator table DRAVUNE3DMENU,
// the command ids, and the artwork.
#include "platform/window.h"

namespace kt {

enum Command : UINT {
    cmdhelp = 100,
    cmdabout = 105,
    cmdparameters = 110,
    cmdrandom = 115,
    cmdrotate = 120,
    cmdcoloring = 125,
    cmdbackground = 130,
    cmdpalette = 135,
    cmdpalette1 = 140,
    cmdpalette2 = 145,
    cmdclearscreen = 150,
    cmdnormalize = 155,
    cmdnadjust = 160,
    cmdequalize = 165,
    cmdlog = 170,
    cmdlogsquared = 175,
    cmdhistogram = 180,
    cmdload = 185,
    cmdsaveparameters = 190,
    cmdrender = 195,
    cmdsaveimage = 200,
    cmdexit = 205,
    cmddebug = 215,
    cmdfdlimit = 220,
    cmdtone = 260,
    cmddepthtone = 265,
    cmdsavepalette = 270,
    cmdexport = 275,
    cmdfittoframe = 280,
    cmdundo = 285,
    cmdredo = 290,
    cmdlivetone = 295,
    cmdpreviousset = 300,
    cmdnextset = 305,
    cmdfitrandom = 310,
    cmdtonesettings = 315,
    cmdrecentfile = 320,   // the first of recentfilecount
    cmdquality = 350,      // Off, then each of qualitysteps in order
    cmdnamedpalette = 400, // the first of the perceptual maps, in namedpalettes' order after 1 and 2
    cmdcopypicture = 500,
    cmdfitwindow = 505,
    cmdfullscreen = 510,
};

const MenuTemplate& dravune3dmenu();
const AcceleratorTable& dravune3daccelerators();

// Registers the splash, about and icon pictures as bitmap resources.
void registerartwork();

} // namespace kt
