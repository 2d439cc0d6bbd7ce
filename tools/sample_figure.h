// The sample figure: a player in MD3 pieces (legs walking, torso breathing
// and aiming, head with a visor, a weapon), built from boxes, tubes and
// ellipsoids. make_samples writes the viewer's sample from it and make_game
// the test game folder's player and weapon.
//
// The figure faces +x with +z up, feet at about z = -24 and the top of the
// head at about z = +32, legs origin at the hips. Outward faces are wound
// clockwise as seen from outside (the viewer culls front faces while it
// draws the model) and carry outward normals.
#ifndef TOOLS_SAMPLE_FIGURE_H
#define TOOLS_SAMPLE_FIGURE_H

#include <cstddef>
#include <vector>

#include "md3_writer.h"

// The parts a surface can be made of. Every part but the legs, chest and
// arms (which move with the frame) is the same in every frame.
enum SampleFigurePart {
    SAMPLE_FIGURE_LEGS,       // hips, belt, legs and feet, walking
    SAMPLE_FIGURE_CHEST,      // waist, chest, backpack and neck, breathing
    SAMPLE_FIGURE_ARMS,       // shoulders and arms, the right hand aiming
    SAMPLE_FIGURE_HELMET,     // dome, crest and ear pieces together
    SAMPLE_FIGURE_DOME,       // the helmet's parts one by one
    SAMPLE_FIGURE_CREST,
    SAMPLE_FIGURE_EARS,
    SAMPLE_FIGURE_VISOR,
    SAMPLE_FIGURE_TUBE,       // the rocket launcher's tube, or the gun's body
    SAMPLE_FIGURE_FITTINGS,   // its grips, sight and rocket tip
    SAMPLE_FIGURE_BARREL,     // a short barrel from its tag forwards
    SAMPLE_FIGURE_FIN,        // a one-sided card behind the hips, facing back
    SAMPLE_FIGURE_HAIR        // a one-sided card behind the backpack, facing back
};

// Where the tags put the pieces hung on them.
enum SampleFigureTag {
    SAMPLE_FIGURE_TAG_TORSO,    // on the legs: the torso
    SAMPLE_FIGURE_TAG_HEAD,     // on the torso: the head
    SAMPLE_FIGURE_TAG_WEAPON,   // on the torso: the weapon, in the right hand
    SAMPLE_FIGURE_TAG_BARREL    // on the weapon: its barrel, at the muzzle
};

struct SampleFigureSurface {
    const char *name;
    const char *shader;   // the MD3 shader record (at most 63 characters)
    SampleFigurePart part;
};

struct SampleFigureTagName {
    const char *name;
    SampleFigureTag tag;
};

struct SampleFigurePiece {
    const char *name;   // the MD3 header's name
    int frames;         // at least 1
    std::vector<SampleFigureSurface> surfaces;
    std::vector<SampleFigureTagName> tags;
};

const size_t sample_figure_reason_size = 128;

// Shared with the samples' skin patterns.
const double sample_figure_pi = 3.14159265358979323846;

// The piece as an MD3 model: each surface with its part's geometry in every
// frame, frames named frame000 on with the bounds of all surfaces, and the
// tags in the order given in every frame. 1, or 0 with a reason (in
// sample_figure_reason_size bytes) when a part changes shape between frames.
int SampleFigure_Model(const SampleFigurePiece &piece, Md3ModelData *model, char *reason);

#endif
