#pragma once
// What a document window may do to the main frame that hosts it. The frame
// implements this; document windows never see the frame's class.

struct IFrameLink {
  virtual ~IFrameLink() = default;

  // Check marks of the frame's View actions ViewCount, ViewButton, ViewRuler.
  virtual void SetViewCountChecked(bool checked) = 0;
  virtual void SetViewButtonChecked(bool checked) = 0;
  virtual void SetViewRulerChecked(bool checked) = 0;
};
