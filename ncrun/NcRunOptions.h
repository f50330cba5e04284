#pragma once
// Command line of ncrun, the headless test driver that runs one program
// through the engine form with no window:
//   ncrun [--settings DIR] [--compiled] [--xnc FILE] [--gnc FILE]
//         [--search LINE] [--answers FILE] [--single-step] [--block-skip]
//         [--2d] [--bm2 FILE] [--2d-list FILE] [--sim FILE | --3d-grid FILE]
//         [--machine [--link]] PROGRAM
//   ncrun [--settings DIR] --machine --mdi FILE
//   ncrun [--settings DIR] [--machine] --fanuc21|--fanuc0m KEYS [--screen FILE] [PROGRAM]

#include <string>

namespace orv {

struct TNcRunOptions {
    std::string Program;
    std::string SettingsDir; // empty: a fresh temporary copy of the default data
    bool Compiled = false;   // PROGRAM is an ".XNC" to replay
    std::string XncFile;     // compiled output into this file
    std::string GncFile;     // post output into this file
    bool Search = false;
    int SearchLine = 0;
    std::string AnswersFile;
    bool SingleStep = false;
    bool BlockSkip = false;
    bool Draw2D = false;      // the 2D output on (also with --bm2 or --2d-list)
    std::string Bm2File;      // the 2D picture saved here at the end of the run
    std::string Draw2DList;   // the 2D drawing list written here, one element a line
    bool Machine = false;     // run on the simulated machine with a test clock
    std::string SimFile;      // simulation output on; its picture saved here at the end
    std::string MdiFile;      // typed into the panel's MDI page and run in MDI mode
    bool Link = false;        // with Machine: the machine link over its serial port, real clock
    bool VR = false;          // the VR link over the simulated world, test clock (sets Machine)
    bool Fanuc21 = false;     // a Fanuc station is the source; PROGRAM optional
    bool Fanuc0M = false;     // that station is the 0M
    std::string FanucKeys;    // its key script (fanuc/FanucScript.h)
    std::string ScreenFile;   // the station's screen model written here at the end
    std::string Grid3DFile;   // the milling 3D view on (no window); its height map written here
    std::string Capture3DFile; // the milling 3D window on (offscreen); its capture written here
};

// Parses argv[1..]; false with Error set on a bad or missing argument.
bool ParseNcRunOptions(int Argc, const char *const *Argv, TNcRunOptions &Options,
                       std::string &Error);

} // namespace orv
