// Objects that keep a surface object or a texture they do not own by plain pointer (render
// objects, timed wipes) let go of it before it dies: every surface object and texture tells the
// living holders as it ends, whoever deletes it. A holder is told on the thread where its
// picture ends, which is the thread that uses both.
#pragma once

class CImageInterface;
class CD3DTexture;

class CPictureHolder {
 public:
  CPictureHolder(const CPictureHolder&) = delete;
  CPictureHolder& operator=(const CPictureHolder&) = delete;

  // Tells every living holder that the picture or texture ends; the pointer is only compared.
  static void PictureEnds(const CImageInterface* picture);
  static void TextureEnds(const CD3DTexture* texture);

 protected:
  CPictureHolder();
  virtual ~CPictureHolder();

  // Drops every pointer to the picture or texture, leaving the holder as without one.
  virtual void ForgetPicture(const CImageInterface* /*picture*/) {}
  virtual void ForgetTexture(const CD3DTexture* /*texture*/) {}
};
