// The sector level of Ctr_Secteur.

#include "levels/sector_level.h"
#include "control/ctr_secteur.h"
#include "levels/list_query.h"

namespace zonitra {

void Ctr_Secteur::Remplir_Combo_Secteur() {
    SharedState& s = State();
    s.lists.secteur = levels::QueryKeyAndLabel(s.Db("Remplir_Combo_Secteur"), secteur::kListQuery,
                                               secteur::kFile);
    s.W_NbSecteur = levels::RowCount(*s.lists.secteur, "Remplir_Combo_Secteur");
    levels::FillLabels(*Screen().Cbo_LibSecteur, *s.lists.secteur, s.W_NbSecteur);
}

}  // namespace zonitra
