// The room the player stands in: four faces (front, right, back, left) with one puzzle each,
// the environment objects that furnish it and the faces' quadrilaterals, taken from the four
// construction quads it creates. The game owns the current room; the room focuses a face (the
// camera turns to it), forwards the frame's update and the play, reload, reset and start
// requests to a face's puzzle, restores the editing conditions afterwards, and loads and saves
// itself through the room file (ROOM_PATH) and the puzzle files (PUZZLE_PATH).
#pragma once

#include "common/math/Quad.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace QUORB
{
class CPuzzle;
struct RoomData;

class CRoom
{
public:
    static constexpr unsigned kFaceCount = 4;
    static const char* const kDefaultEnvFile; // "DefaultRoomEnv.xml"
    // "DefaultFront.xml", "DefaultRight.xml", "DefaultBack.xml", "DefaultLeft.xml".
    static const char* const kDefaultPuzzleNames[kFaceCount];

    // The environment (ENVFILE_PATH + the environment file below ROOM_PATH) and the four
    // construction quads with the faces they give. No puzzles until Load or MakeDefaultPuzzles.
    CRoom();
    virtual ~CRoom();

    CRoom(const CRoom&) = delete;
    CRoom& operator=(const CRoom&) = delete;

    // Face n (0 to 3) becomes the room's and the game's focused face and the camera's look-at
    // glides to the face's middle (midpoint of corners 0 and 2) over 1 s. Nothing for n above 3.
    void FocusFace(unsigned face);
    // The next face in a cycle shared by all rooms (back to 0 past the last puzzle).
    void FocusNextFace();
    // The neighbouring face to the right or left of where the camera looks (the face position),
    // wrapping from 3 to 0 and back; between two faces, the one in that direction.
    void FocusNearestFace(bool right);
    // The focused face's puzzle update; nothing without one. Seconds.
    void Update(double time, float dt);

    // The face's puzzle operations; nothing for a face without a puzzle. Reload, reset and start
    // then restore the editing conditions when physics was running: the water level back, the
    // camera's up to (0, 1, 0) over 0.1 s, gravity (0, -9.8, 0), physics paused. Playing a face
    // also makes it the room's focused face, whose puzzle Update runs.
    void PlayPuzzle(unsigned face);
    void ReloadPuzzle(unsigned face);
    void ResetPuzzle(unsigned face);
    void StartPuzzle(unsigned face, bool takeSnapshot);

    // Deletes every puzzle (their objects die with them); no face focused.
    void ClearPuzzles();
    // Replaces the puzzles by those the room file names (the first four; one line names the
    // rest), each read from PUZZLE_PATH + its name for its face, and applies the file's light.
    // A name that is empty or leaves PUZZLE_PATH gives an empty puzzle and one line naming the
    // room file.
    void LoadPuzzles(const RoomData& roomData, const std::string& roomFile = std::string());
    // Replaces the puzzles by four empty ones named after the default puzzle files.
    void MakeDefaultPuzzles();

    // Kills the environment objects.
    void DestroyEnvGobs();
    // Files an object among the environment objects (killed and saved with them).
    void AddEnvGob(std::uint32_t id) { m_envGobIDs.push_back(id); }
    // Replaces the environment objects by those of the file at ROOM_PATH + path.
    void LoadEnvironment(const std::string& path);
    // Creates "CQFront", "CQRight", "CQBack" and "CQLeft", puts each on its quad's middle scaled
    // by its first edge's length, and takes the faces from their quads.
    void CreateConstructionQuads();

    // Writes every puzzle to PUZZLE_PATH + base + "_Puzzle_" + index + ".xml" (base: the name
    // without a trailing ".xml", in any case), names the puzzles so, then the room file to
    // ROOM_PATH + name, whose name the room then carries. The files are written all or nothing
    // (plat::WriteFilesAtomically, the room file last). False, with one line, when the base is
    // empty or a file could not be written: then none of the room's old files has changed.
    bool Save(const std::string& name);
    // Reads ROOM_PATH + name and its puzzles. With skipIfLoaded, the room already loaded under
    // that name is left as it is unless it was changed since: a room left unsaved is shown as its
    // files hold it. A room file that is missing or does not parse changes nothing (one line) and
    // gives false.
    bool Load(const std::string& name, bool skipIfLoaded);
    // Whether the room differs from what it was when last loaded or saved: its puzzles, as they
    // would be written, and its light. A room neither loaded nor saved counts as changed. The
    // re-snap that settles a rebuilt puzzle's widgets on their nodes changes nothing here.
    bool IsModified() const;

    int GetFocusedFace() const { return m_focusedFace; }
    const math::Quad& GetFace(unsigned face) const { return m_faces[face < kFaceCount ? face : 0]; }
    // The puzzle of a face, or null when the room has none there (or the index is no face).
    CPuzzle* GetPuzzle(unsigned face) const;
    std::size_t GetPuzzleCount() const { return m_puzzles.size(); }
    const std::vector<std::uint32_t>& GetEnvGobIDs() const { return m_envGobIDs; }
    const std::string& GetEnvFileName() const { return m_envFileName; }
    // Face units: a face index plus the fraction of the turn towards the next (0 to below 4).
    float GetFacePosition() const { return m_facePosition; }
    void SetFacePosition(float position) { m_facePosition = position; }
    const std::string& GetRoomName() const { return m_roomName; }

private:
    // After a reload, reset or start: the editing conditions, only when physics runs.
    void RestoreEditingConditions();
    // A puzzle as its file would hold it (empty without one), and the light as the room file
    // would.
    std::string PuzzleImage(unsigned face) const;
    static std::string LightImage();
    // The room as it stands becomes the room as its files hold it.
    void TakeFiledImage();
    // Whether the face's puzzle is in one of the forms its file was seen in.
    bool IsPuzzleAsFiled(unsigned face) const;

    std::vector<std::unique_ptr<CPuzzle>> m_puzzles; // index = face
    int m_focusedFace = -1;
    std::vector<std::uint32_t> m_envGobIDs;
    std::string m_envFileName;
    float m_facePosition = 0.0f;
    std::string m_roomName;
    // Each puzzle as it was at the last load or save, then as its first re-snap settled it (at
    // most kFiledFormsKept forms), and the light; m_filed once loaded or saved.
    static constexpr std::size_t kFiledFormsKept = 4;
    std::vector<std::vector<std::string>> m_filedPuzzles;
    std::string m_filedLight;
    bool m_filed = false;
    std::array<math::Quad, kFaceCount> m_faces;
};
} // namespace QUORB
