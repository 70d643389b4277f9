// Keeps Reps in step with the application's model. So far: the graphic table
// that maps model identificators to Reps, and the graphic model Rep (the root
// of the Reps this controller builds).
#pragma once

#include <kel/controller/KelModelIdentificator.h>

class KelRep;
class KelRepTable;

class KelVisuController {
 public:
  KelVisuController() = default;
  virtual ~KelVisuController();
  KelVisuController(const KelVisuController&) = delete;
  KelVisuController& operator=(const KelVisuController&) = delete;

  virtual void SetGraphicModel(KelRep* model) { _graphicModel = model; }
  virtual KelRep* GetGraphicModel() const { return _graphicModel; }
  // The table is the caller's; it must outlive the controller's use of it.
  virtual void SetAssociatedGraphicTable(KelRepTable* table) { _graphicTable = table; }
  virtual KelRepTable* GetAssociatedGraphicTable() const { return _graphicTable; }
  // Without a table these do nothing and answer null.
  virtual void SetRepInGraphicTable(KelRep* rep, KelModelIdentificator& id);
  virtual KelRep* GetRep(const KelModelIdentificator& id);
  virtual void UnreferenceRep(const KelModelIdentificator& id);

 private:
  KelRep* _graphicModel = nullptr;
  KelRepTable* _graphicTable = nullptr;
};
