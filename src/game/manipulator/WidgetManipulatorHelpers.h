// Small lookups the widget manipulator's sources share: the game and its focused puzzle and face,
// the physics pause, menus by name, sounds and console lines.
#pragma once

#include "statemachine/MessageName.h"

#include <string>

class Gob;

namespace math
{
class Vector3;
}

namespace QUORB
{
class CPuzzle;
class CQUORB;

namespace manipulator
{
CQUORB* Game();
CPuzzle* FocusedPuzzle();
// The focused face index, -1 without a game.
int FocusedFace();
// The focused face's normal; (0, 0, 0) without a room.
math::Vector3 FaceNormal();
// The long axis of a widget is its x axis on the front and back faces, its z axis on the sides.
bool LongAxisIsX(int face);
bool LongAxisIsZ(int face);
// Physics paused: the puzzle is being edited.
bool IsPhysicsPaused();

void PlaySound(const char* path);
// One line in the log: an object of that archetype lacks what the step needs.
void ReportMissing(const Gob* gob, const char* what, const char* step);
// The same line once for each archetype, lack and step: for the callbacks physics calls on every
// step of a contact.
void ReportMissingOnce(const Gob* gob, const char* what, const char* step);
// One line in the log: the archetype made no object for the owner, which is placed
// without that part (named like "its nodes").
void ReportNotBuilt(const char* archetype, const Gob* owner, const char* part);
// The object's position set again with the oct tree told; nothing without a POVComp.
void Refile(Gob* gob);
// What the player paid for an object when it was placed, kept with its widget data; 0 without.
int PaidFor(Gob* gob);
// Keeps what was paid with the object's widget data. An object without widget data cannot keep
// it, so the puzzle has it back at once.
void KeepPaid(CPuzzle* puzzle, Gob* gob, int paid);
} // namespace manipulator
} // namespace QUORB
