#include "ldres/ldres_strings.h"

namespace ledgora::ldres {

namespace {

struct TStringRow {
  unsigned id;
  std::string_view text;
};

// The bank's edition; "%s" is the product's name, which the program inserts.
constexpr TStringRow kStrings[] = {
    {22504, "&Page d'accueil de Orvanet"},
    {22507, "Ledgora"},
    {22508, "Souhaitez-vous confirmer :"},
    {22509, "Lors du téléchargement, souhaitez-vous confirmer l'insertion :"},
    {22510,
     "%s ne peut afficher qu'un nombre limité de situations financières. Ce nombre est "
     "paramétrable mais attention si vous l'augmentez trop fortement, cela peut nuire aux "
     "performances du logiciel."},
    {22511,
     "%s doit-il demander une confirmation pour automatiquement supprimer la situation financière "
     "la plus ancienne lorsque le nombre maximal de situations financières paramétré est atteint "
     "?"},
    {22512, "Si vous le désirez, %s peut vous aider à démarrer votre gestion de comptes."},
    {22513,
     "Une liste de catégories et de sous-catégories prédéfinies que vous pourrez tout à loisir "
     "modifier et personnaliser vous est proposée pour débuter la gestion de vos comptes."},
    {22514, "L'aide en ligne de %s est constituée de\npages hypertextes au format HTML."},
    {22515,
     "Il est conseillé de conserver une copie de votre livre de comptes.\nSélectionnez l'endroit "
     "où vous voulez sauvegarder votre copie avec le bouton [Parcourir...] puis cliquez sur le "
     "bouton [Oui]."},
    {22516,
     "Dans le flux des opérations à télécharger, des opérations appartenant à un compte inexistant "
     "ont été détectées."},
    {22517, "Désirez-vous créer ce compte ?"},
    {22518, "Désirez-vous estimer\nautomatiquement votre budget ?"},
    {22519,
     "Aucun budget n'a encore été affecté sur vos comptes.\nLe calcul du budget peut être estimé "
     "automatiquement à partir des opérations déjà existantes."},
    {22520,
     "Votre budget va être automatiquement estimé en fonction des opérations déjà présentes dans "
     "votre livre de comptes (seules les données du budget valant 0,00 seront estimées)."},
    {22521, "A propos de %s..."},
    {22522,
     "Le solde restant est différent de 0.\nDésirez-vous automatiquement ajuster la ventilation ?"},
    {22523,
     "Votre situation financière était abîmée,\n%s a trouvé et réparé l'erreur.\nRelancez le "
     "téléchargement."},
    {22524,
     "Un virement est composé de deux opérations.\nSouhaitez-vous supprimer l'opération "
     "complémentaire du virement ?"},
    {22525,
     "Dans les opérations à archiver, une opération qui n'est pas pointée a été détectée.\nIl est "
     "déconseillé d'archiver des opérations non pointées.\nVoulez-vous poursuivre l'archivage "
     "?\nNB : vous pourrez éventuellement en relancer un avec une date plus ancienne."},
    {22526, "Orvanet"},
};

}  // namespace

std::optional<std::string_view> FindString(unsigned id) {
  for (const TStringRow& row : kStrings) {
    if (row.id == id) return row.text;
  }
  return std::nullopt;
}

}  // namespace ledgora::ldres
