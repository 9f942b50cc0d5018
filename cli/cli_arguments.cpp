#include "cli/cli_arguments.h"

#include <sstream>

namespace ledgora::cli {
namespace {

const std::vector<TOptionSpec> kCommonOptions = {
    {"help", false, "cette aide"},
    {"yes", false, "répond Oui (ou OK) à chaque question des règles"},
    {"no", false, "répond Non (ou Annuler) à chaque question des règles"},
};

const std::vector<TOptionSpec> kBookOptions = {
    {"password", true, "le mot de passe du livre, s'il en a un (sinon demandé au terminal)"},
    {"no-save", false, "ne garde pas les changements de cette exécution"},
    {"force", false,
     "utilise un livre dont la copie de travail existe déjà (ouvert dans Ledgora, laissé par un "
     "arrêt, ou sur un autre poste après confirmation)"},
};

const TOptionSpec kJsonOption = {"json", false, "JSON : un objet par ligne du tableau"};

std::vector<TCommandSpec> MakeCommands() {
  return {
      {"new",
       "BOOK [--template N]",
       "crée un livre de comptes, vide ou d'après le modèle 0, 1 ou 3",
       "BOOK est un chemin « .VX », ou un nom seul créé dans le dossier des livres\n"
       "(un nom vide donne « sansnom »). Modèles : 0 Particulier, 1 Profession de\n"
       "santé, 3 Agriculteur. Un livre existant n'est jamais remplacé.\n",
       1,
       1,
       false,
       false,
       {{"template", true, "le jeu de catégories : 0, 1 ou 3"},
        {"password", true, "mot de passe du nouveau livre (8 caractères au plus)"}}},
      {"info",
       "BOOK",
       "réglages de l'en-tête, nombre d'enregistrements par type, version, mot de passe",
       "",
       1,
       1,
       true,
       true,
       {}},
      {"accounts",
       "BOOK",
       "les comptes dans l'ordre du livre : type, devise, solde",
       "",
       1,
       1,
       true,
       true,
       {}},
      {"ops",
       "BOOK ACCOUNT",
       "les opérations d'un compte dans l'ordre de la liste",
       "ACCOUNT est le nom du compte (ou son identifiant, « #12 »). Chaque ligne :\n"
       "date, libellé, classement comme la liste du programme le montre, montant,\n"
       "solde courant, pointage.\n",
       2,
       2,
       true,
       true,
       {{"last", true, "seulement les N dernières opérations"}}},
      {"add-account",
       "BOOK --name N --type 0|1|2 [OPTIONS]",
       "ajoute un compte, par les règles de la page des comptes",
       "Types : 0 compte courant, 1 encours carte, 2 compte de dépôt. Un compte\n"
       "carte prend la banque, le guichet, le numéro et la devise de son compte lié.\n",
       1,
       1,
       true,
       false,
       {{"name", true, "le nom du compte (15 caractères)"},
        {"type", true, "0, 1 ou 2"},
        {"currency", true, "la devise (trois lettres, EUR par défaut)"},
        {"initial", true, "le solde initial (« 1 234,56 » ou « 1234.56 »)"},
        {"bank", true, "le code banque (5 lettres ou chiffres)"},
        {"branch", true, "le code guichet (5 lettres ou chiffres)"},
        {"number", true, "le numéro de compte (11 lettres ou chiffres)"},
        {"card-number", true, "le numéro de carte (16 caractères, compte carte)"},
        {"linked", true, "le compte courant lié (compte carte)"},
        {"remark", true, "la remarque (50 caractères)"},
        {"state", true, "0 Affiché, 1 Clos, 2 Masqué"}}},
      {"add-op",
       "BOOK ACCOUNT --date D --amount X --label L [OPTIONS]",
       "ajoute une opération, par la règle de la ligne de saisie",
       "D : AAAA-MM-JJ ou JJ/MM/AAAA (« today » : aujourd'hui). X : le montant signé\n"
       "(négatif : débit, positif : crédit, aussi dans un compte carte). Une opération\n"
       "datée avant la première du compte pose la question du solde initial.\n",
       2,
       2,
       true,
       false,
       {{"date", true, "la date"},
        {"amount", true, "le montant signé"},
        {"label", true, "le libellé (50 caractères)"},
        {"complement", true, "le libellé complémentaire"},
        {"category", true, "« Catégorie » ou « Catégorie : Sous-catégorie »"},
        {"project", true, "le projet"},
        {"pointed", false, "l'opération est pointée"},
        {"transfer-to", true, "un virement vers ce compte"}}},
      {"check",
       "BOOK",
       "lit le livre sans rien changer et signale chaque dommage (code 3)",
       "Le livre n'est pas ouvert : ni copie de travail ni marque d'utilisation ;\n"
       "le fichier reste identique à l'octet près.\n",
       1,
       1,
       false,
       true,
       {{"password", true, "le mot de passe du livre, s'il en a un"}}},
      {"rebuild",
       "BOOK",
       "reconstruit le livre (réparation, conversion d'un ancien format)",
       "Le livre est relu enregistrement par enregistrement, sans suivre ses chaînes.\n"
       "Un livre laissé par un arrêt brutal (sa copie de travail existe encore) se\n"
       "reconstruit avec --force : c'est sa copie de travail qui est relue.\n",
       1,
       1,
       true,
       false,
       {}},
      {"backup",
       "BOOK PATH",
       "fait une copie de secours du livre dans PATH",
       "",
       2,
       2,
       true,
       false,
       {}},
      {"password",
       "BOOK [--old P] [--new P]",
       "change le mot de passe du livre",
       "Sans --old ni --new, les mots de passe sont demandés au terminal. --new \"\"\n"
       "retire le mot de passe. Le livre est ensuite reconstruit.\n",
       1,
       1,
       true,
       false,
       {{"old", true, "l'ancien mot de passe"}, {"new", true, "le nouveau mot de passe"}}},
      {"gen-book",
       "BOOK --operations N [--seed S] [--password P]",
       "écrit un livre réaliste et reproductible de N opérations",
       "Le même N et la même graine donnent le même livre, octet pour octet.\n"
       "--demo écrit le livre de démonstration (deux ans jusqu'à aujourd'hui).\n",
       1,
       1,
       false,
       false,
       {{"operations", true, "le nombre exact d'opérations"},
        {"seed", true, "la graine (1 par défaut)"},
        {"password", true, "le mot de passe du livre"},
        {"end", true, "le dernier jour, AAAA-MM-JJ (2025-12-31 par défaut)"},
        {"months", true, "la durée en mois (selon N par défaut)"},
        {"demo", false, "le livre de démonstration à la place"}}},
      {"demo",
       "[--path-only]",
       "la démonstration sans écran : crée le livre de démonstration, ses comptes, ses opérations",
       "Le livre « Démo.VX » est créé dans le dossier des livres s'il n'y est pas.\n"
       "--path-only le crée au besoin et n'écrit que son chemin.\n",
       0,
       0,
       false,
       false,
       {{"path-only", false, "n'écrit que le chemin du livre"}}},
      {"help", "[COMMAND]", "cette aide, ou celle d'une commande", "", 0, 1, false, false, {}},
  };
}

bool TakesValue(const TCommandSpec& command, std::string_view name, bool& known) {
  known = true;
  for (const auto& o : command.options)
    if (o.name == name) return o.takes_value;
  for (const auto& o : kCommonOptions)
    if (o.name == name) return o.takes_value;
  if (command.book)
    for (const auto& o : kBookOptions)
      if (o.name == name) return o.takes_value;
  if (command.listing && name == kJsonOption.name) return false;
  known = false;
  return false;
}

void AppendOptions(std::ostringstream& out, const std::vector<TOptionSpec>& options) {
  for (const auto& o : options) {
    if (o.help.empty()) continue;
    std::string left = "  --" + std::string(o.name) + (o.takes_value ? " V" : "");
    if (left.size() < 22) left.resize(22, ' ');
    out << left << " " << o.help << "\n";
  }
}

}  // namespace

const std::vector<TCommandSpec>& Commands() {
  static const std::vector<TCommandSpec> commands = MakeCommands();
  return commands;
}

const TCommandSpec* FindCommand(std::string_view name) {
  for (const auto& c : Commands())
    if (c.name == name) return &c;
  return nullptr;
}

std::string UsageText() {
  std::ostringstream out;
  out << "Usage : ledgora-cli COMMANDE [ARGUMENTS...] [OPTIONS]\n\n"
         "Ledgora, le gestionnaire de livres de comptes, en ligne de commande.\n\n"
         "Commandes :\n";
  for (const auto& c : Commands()) {
    std::string left = "  " + std::string(c.name);
    if (left.size() < 15) left.resize(15, ' ');
    out << left << " " << c.summary << "\n";
  }
  out << "\nBOOK désigne le fichier « .VX » ou sa copie de travail « .$VX ». Le livre est\n"
         "fermé proprement à la fin (copie de travail recopiée, marque retirée), sauf\n"
         "avec --no-save. Les questions des règles : --yes, --no, sinon posées au\n"
         "terminal ; sans terminal la commande est refusée.\n"
         "Les messages vont sur la sortie d'erreur.\n\n"
         "Codes de sortie : 0 succès, 1 refusé par une règle ou par l'utilisateur,\n"
         "2 mauvais usage, 3 échec du stockage.\n\n"
         "« ledgora-cli COMMANDE --help » décrit une commande.\n";
  return out.str();
}

std::string CommandHelp(const TCommandSpec& command) {
  std::ostringstream out;
  out << "Usage : ledgora-cli " << command.name << " " << command.synopsis << "\n\n"
      << command.summary << "\n";
  if (!command.details.empty()) out << "\n" << command.details;
  out << "\nOptions :\n";
  AppendOptions(out, command.options);
  if (command.listing) AppendOptions(out, {kJsonOption});
  if (command.book) AppendOptions(out, kBookOptions);
  AppendOptions(out, kCommonOptions);
  return out.str();
}

std::optional<std::string> TParsedCommand::Value(std::string_view name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::string TParsedCommand::Required(std::string_view name) const {
  if (auto v = Value(name)) return *v;
  throw TUsageError("l'option --" + std::string(name) + " est obligatoire");
}

TParsedCommand ParseCommandLine(const std::vector<std::string>& args) {
  TParsedCommand parsed;
  if (args.empty()) throw TUsageError("aucune commande");
  std::size_t i = 0;
  // "ledgora-cli --help" is the general help.
  if (args[0] == "--help" || args[0] == "-h") {
    parsed.command = FindCommand("help");
    return parsed;
  }
  parsed.command = FindCommand(args[0]);
  if (!parsed.command) throw TUsageError("commande inconnue « " + args[0] + " »");
  const TCommandSpec& command = *parsed.command;
  bool options_ended = false;
  for (i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!options_ended && arg.size() > 1 && arg[0] == '-' && arg != "-" &&
          !(arg[1] >= '0' && arg[1] <= '9')) {
        throw TUsageError("option inconnue « " + arg + " » pour « " + std::string(command.name) +
                          " »");
      }
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    bool known = false;
    const bool takes_value = TakesValue(command, name, known);
    if (!known) {
      throw TUsageError("option inconnue « --" + name + " » pour « " + std::string(command.name) +
                        " »");
    }
    if (takes_value) {
      if (!value) {
        if (i + 1 >= args.size()) throw TUsageError("l'option --" + name + " attend une valeur");
        value = args[++i];
      }
      if (parsed.values.count(name)) throw TUsageError("l'option --" + name + " est répétée");
      parsed.values[name] = *value;
    } else {
      if (value) throw TUsageError("l'option --" + name + " ne prend pas de valeur");
      parsed.flags[name] = true;
    }
  }
  parsed.help = parsed.Flag("help");
  if (parsed.help) return parsed;
  if (parsed.Flag("yes") && parsed.Flag("no")) {
    throw TUsageError("--yes et --no ne vont pas ensemble");
  }
  if (parsed.positional.size() < command.min_positional) {
    throw TUsageError("il manque un argument : ledgora-cli " + std::string(command.name) + " " +
                      std::string(command.synopsis));
  }
  if (parsed.positional.size() > command.max_positional) {
    throw TUsageError("argument en trop « " + parsed.positional[command.max_positional] +
                      " » pour « " + std::string(command.name) + " »");
  }
  return parsed;
}

}  // namespace ledgora::cli
