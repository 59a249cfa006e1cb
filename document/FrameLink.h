#pragma once
// What a document window may do to the main frame that hosts it. The frame
// implements this; document windows never see the frame's class.

struct IFrameLink {
  virtual ~IFrameLink() = default;

  // Check marks of the frame's View actions ViewCount, ViewButton, ViewRuler.
  virtual void SetViewCountChecked(bool checked) = 0;
  virtual void SetViewButtonChecked(bool checked) = 0;
  virtual void SetViewRulerChecked(bool checked) = 0;

  // The frame's date commands; they act on the frame's active document window.
  // A host without a date picker inserts nothing.
  virtual void EditDateWaExecute() {}
  virtual void EditDateJwaExecute() {}
  virtual void EditDateSeiExecute() {}
};
