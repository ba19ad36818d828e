// The room the player stands in: four faces (front, right, back, left) with one puzzle each,
// the environment objects that furnish it and the faces' quadrilaterals, taken from the four
// construction quads it creates. The game owns the current room; the room focuses a face (the
// camera turns to it) and forwards the frame's update to the focused face's puzzle. Loading and
// saving rooms, puzzles and environments come with the room files.
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

class CRoom
{
public:
    static constexpr unsigned kFaceCount = 4;
    static const char* const kDefaultEnvFile; // "DefaultRoomEnv.xml"

    // The environment (ENVFILE_PATH + the environment file below ROOM_PATH) and the four
    // construction quads with the faces they give.
    CRoom();
    virtual ~CRoom();

    CRoom(const CRoom&) = delete;
    CRoom& operator=(const CRoom&) = delete;

    // Face n (0 to 3) becomes the room's and the game's focused face and the camera's look-at
    // glides to the face's middle (midpoint of corners 0 and 2) over 1 s. Nothing for n above 3.
    void FocusFace(unsigned face);
    // The neighbouring face to the right or left of where the camera looks (the face position),
    // wrapping from 3 to 0 and back; between two faces, the one in that direction.
    void FocusNearestFace(bool right);
    // The focused face's puzzle update; nothing without one. Seconds.
    void Update(double time, float dt);

    // Kills the environment objects.
    void DestroyEnvGobs();
    // Replaces the environment objects by those of the file at ROOM_PATH + path.
    void LoadEnvironment(const std::string& path);
    // Creates "CQFront", "CQRight", "CQBack" and "CQLeft", puts each on its quad's middle scaled
    // by its first edge's length, and takes the faces from their quads.
    void CreateConstructionQuads();

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
    std::vector<std::unique_ptr<CPuzzle>> m_puzzles; // index = face
    int m_focusedFace = -1;
    std::vector<std::uint32_t> m_envGobIDs;
    std::string m_envFileName;
    float m_facePosition = 0.0f;
    std::string m_roomName;
    std::array<math::Quad, kFaceCount> m_faces;
};
} // namespace QUORB
