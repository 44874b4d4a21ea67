// A list of display objects that a layer above the graphics core keeps for one screen (its
// drawables, its fonts). The screen owns the list, so the objects end with the screen, and has
// it destroy them at the points of its own bulk destruction.
#pragma once

class CScreenObjectList {
 public:
  CScreenObjectList() = default;
  CScreenObjectList(const CScreenObjectList&) = delete;
  CScreenObjectList& operator=(const CScreenObjectList&) = delete;
  virtual ~CScreenObjectList() = default;

  // Destroys every object of the list in the order they were made and empties it.
  virtual void DestroyAll() = 0;
};
