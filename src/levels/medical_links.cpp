// The medical-centre and antenna links of the neighbourhood frame.

#include "levels/medical_links.h"
#include "control/ctr_secteur.h"
#include "levels/list_query.h"

namespace zonitra {

// Refilled by Init and every time the focus enters the control, so that
// centres added meanwhile (by the medical-centre editor) are offered.
void Ctr_Secteur::Remplir_Combo_CentreMedical() {
    SharedState& s = State();
    s.lists.centreMedical = levels::QueryKeyAndLabel(
        s.Db("Remplir_Combo_CentreMedical"), centremedical::kListQuery, centremedical::kFile);
    // Unlike the other lists, no row counter is kept for this one.
    levels::FillLabels(*Screen().Cbo_LibCentreMedQuartier, *s.lists.centreMedical,
                       s.lists.centreMedical->DCount());
}

}  // namespace zonitra
