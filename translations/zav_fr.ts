<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AssignPortDialog</name>
    <message>
        <source>Serial adapters</source>
        <translation>Adaptateurs série</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Périphérique</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Maker</source>
        <translation>Fabricant</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Stable name</source>
        <translation>Nom stable</translation>
    </message>
    <message>
        <source>No serial device is present: plug the adapter in and open this list again.</source>
        <translation>Aucun périphérique série n&apos;est présent&#xa0;: branchez l&apos;adaptateur et rouvrez cette liste.</translation>
    </message>
    <message>
        <source>Assign</source>
        <translation>Attribuer</translation>
    </message>
    <message>
        <source>Remove assignment</source>
        <translation>Supprimer l&apos;attribution</translation>
    </message>
    <message>
        <source>assigned: %1</source>
        <translation>attribué&#xa0;: %1</translation>
    </message>
    <message>
        <source>not assigned: opens %1</source>
        <translation>non attribué&#xa0;: ouvre %1</translation>
    </message>
    <message>
        <source>; %1 is set to %2 and comes first</source>
        <translation>&#xa0;; %1 vaut %2 et a la priorité</translation>
    </message>
</context>
<context>
    <name>ColourTransfer</name>
    <message>
        <source>Busy: wait for the running operation to end</source>
        <translation>Occupé&#xa0;: attendez la fin de l&apos;opération en cours</translation>
    </message>
    <message>
        <source>colour read not finished, nothing was changed</source>
        <translation>lecture des couleurs inachevée, rien n&apos;a été modifié</translation>
    </message>
    <message>
        <source>colour read not finished, rows %1 not changed</source>
        <translation>lecture des couleurs inachevée, lignes %1 non modifiées</translation>
    </message>
</context>
<context>
    <name>DeviceOperations</name>
    <message>
        <source>Busy: wait for the running operation to end</source>
        <translation>Occupé&#xa0;: attendez la fin de l&apos;opération en cours</translation>
    </message>
    <message>
        <source>Identification Error in step %1</source>
        <translation>Erreur d&apos;identification à l&apos;étape %1</translation>
    </message>
</context>
<context>
    <name>HelpLauncher</name>
    <message>
        <source>%1 not found</source>
        <translation>%1 introuvable</translation>
    </message>
    <message>
        <source>Cannot start the help viewer: </source>
        <translation>Impossible de lancer la visionneuse d&apos;aide&#xa0;: </translation>
    </message>
</context>
<context>
    <name>LanguageChoice</name>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 non enregistré&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>Com%1: cannot be opened (%2: %3)</source>
        <translation>Com%1: ouverture impossible (%2&#xa0;: %3)</translation>
    </message>
    <message>
        <source>Com%1: the line was lost (%2: %3)</source>
        <translation>Com%1: la liaison a été perdue (%2&#xa0;: %3)</translation>
    </message>
</context>
<context>
    <name>OpenDiagnosis</name>
    <message>
        <source> is not connected</source>
        <translation> n&apos;est pas connecté</translation>
    </message>
    <message>
        <source>; no USB serial adapter is plugged in</source>
        <translation>&#xa0;; aucun adaptateur série USB n&apos;est branché</translation>
    </message>
    <message>
        <source>; adapters plugged in: </source>
        <translation>&#xa0;; adaptateurs branchés&#xa0;: </translation>
    </message>
    <message>
        <source> may not be opened by this user: </source>
        <translation> ne peut pas être ouvert par cet utilisateur&#xa0;: </translation>
    </message>
    <message>
        <source>this user is in group %1, but this session started before; log out and in again</source>
        <translation>cet utilisateur fait partie du groupe %1, mais cette session a commencé avant&#xa0;; fermez la session et rouvrez-la</translation>
    </message>
    <message>
        <source>join group %1 (sudo usermod -aG %1 $USER), then log in again</source>
        <translation>rejoignez le groupe %1 (sudo usermod -aG %1 $USER), puis rouvrez la session</translation>
    </message>
    <message>
        <source>only %1 may open it (mode %2); ask the administrator for a udev rule that gives group dialout access</source>
        <translation>seul %1 peut l&apos;ouvrir (mode %2)&#xa0;; demandez à l&apos;administrateur une règle udev qui en donne l&apos;accès au groupe dialout</translation>
    </message>
    <message>
        <source>; ModemManager probes serial adapters for modems: stop it (sudo systemctl stop ModemManager), or keep it off this adapter for good with the udev rule %1 in /etc/udev/rules.d/99-zav.rules</source>
        <translation>&#xa0;; ModemManager sonde les adaptateurs série à la recherche de modems&#xa0;: arrêtez-le (sudo systemctl stop ModemManager), ou tenez-le définitivement à l&apos;écart de cet adaptateur avec la règle udev %1 dans /etc/udev/rules.d/99-zav.rules</translation>
    </message>
    <message>
        <source>; brltty takes USB serial adapters for braille displays: stop it (sudo systemctl stop brltty-udev.service brltty.service), or remove it (sudo apt remove brltty) when no braille display is used</source>
        <translation>&#xa0;; brltty prend les adaptateurs série USB pour des afficheurs braille&#xa0;: arrêtez-le (sudo systemctl stop brltty-udev.service brltty.service), ou désinstallez-le (sudo apt remove brltty) si aucun afficheur braille n&apos;est utilisé</translation>
    </message>
    <message>
        <source> is already open in this program</source>
        <translation> est déjà ouvert dans ce programme</translation>
    </message>
    <message>
        <source> is in use by another program</source>
        <translation> est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>: process %1</source>
        <translation>&#xa0;: processus %1</translation>
    </message>
    <message>
        <source>: %1 (process %2)</source>
        <translation>&#xa0;: %1 (processus %2)</translation>
    </message>
    <message>
        <source>Com%1: no device for this port</source>
        <translation>Com%1: aucun périphérique pour ce port</translation>
    </message>
    <message>
        <source> (no device answers at this node)</source>
        <translation> (aucun périphérique ne répond à ce nœud)</translation>
    </message>
    <message>
        <source> cannot be opened</source>
        <translation> ne peut pas être ouvert</translation>
    </message>
</context>
<context>
    <name>OperationProgress</name>
    <message>
        <source>, %1:%2 left</source>
        <translation>, reste %1:%2</translation>
    </message>
</context>
<context>
    <name>ParameterFile</name>
    <message>
        <source>The file ends at line %1; a parameter file has %2 lines.</source>
        <translation>Le fichier s&apos;arrête à la ligne %1&#xa0;; un fichier de paramètres a %2 lignes.</translation>
    </message>
    <message>
        <source>Line %1 does not hold a whole number: &quot;%2&quot;.</source>
        <translation>La ligne %1 ne contient pas un nombre entier&#xa0;: «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <source>Line %1 holds a colour too large: &quot;%2&quot;.</source>
        <translation>La ligne %1 contient une couleur trop grande&#xa0;: «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <source>Line %1 holds %2, which the field %3 cannot take.</source>
        <translation>La ligne %1 contient %2, une valeur que le champ %3 ne peut pas prendre.</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Impossible d&apos;ouvrir %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ParameterFileOps</name>
    <message>
        <source>Cannot save %1: %2</source>
        <translation>Impossible d&apos;enregistrer %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ParameterMap</name>
    <message>
        <source>%1 is too large</source>
        <translation>%1 est trop grand</translation>
    </message>
    <message>
        <source>%1 is negative</source>
        <translation>%1 est négatif</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>ce n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>%1 is outside 0 to 65535</source>
        <translation>%1 est hors de la plage de 0 à 65535</translation>
    </message>
    <message>
        <source>Cell %1: %2 is outside 0 to 255</source>
        <translation>Cellule %1&#xa0;: %2 est hors de la plage de 0 à 255</translation>
    </message>
    <message>
        <source>no choice</source>
        <translation>aucun choix</translation>
    </message>
    <message>
        <source>%1 is outside 0 to 255</source>
        <translation>%1 est hors de la plage de 0 à 255</translation>
    </message>
</context>
<context>
    <name>PortLookup</name>
    <message>
        <source>present</source>
        <translation>présent</translation>
    </message>
    <message>
        <source>no device at this node</source>
        <translation>aucun périphérique sur ce nœud</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>non connecté</translation>
    </message>
</context>
<context>
    <name>PortPanel</name>
    <message>
        <source>Assign...</source>
        <translation>Attribuer...</translation>
    </message>
    <message>
        <source>Assign a serial adapter to a Com number</source>
        <translation>Attribuer un adaptateur série à un numéro Com</translation>
    </message>
    <message>
        <source>opens %1 (%2), %3</source>
        <translation>ouvre %1 (%2), %3</translation>
    </message>
    <message>
        <source>Com%1: opens %2</source>
        <translation>Com%1: ouvre %2</translation>
    </message>
    <message>
        <source>
assigned: </source>
        <translation>
attribué&#xa0;: </translation>
    </message>
    <message>
        <source>One USB serial adapter is plugged in: %1 (%2). &quot;Com%3:&quot; opens %4. Assign the adapter to &quot;Com%3:&quot;?</source>
        <translation>Un adaptateur série USB est branché&#xa0;: %1 (%2). «&#xa0;Com%3:&#xa0;» ouvre %4. Attribuer l&apos;adaptateur à «&#xa0;Com%3:&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>Com%1: not connected; </source>
        <translation>Com%1: non connecté ; </translation>
    </message>
    <message>
        <source>Com%1: %2 (assigned), not connected; zav.ini keeps Com%1</source>
        <translation>Com%1: %2 (attribué), non connecté ; zav.ini garde Com%1</translation>
    </message>
</context>
<context>
    <name>PortRoute</name>
    <message>
        <source>assigned</source>
        <translation>attribué</translation>
    </message>
    <message>
        <source>default</source>
        <translation>par défaut</translation>
    </message>
</context>
<context>
    <name>PortTrial</name>
    <message>
        <source>Port busy: finish the running operation first</source>
        <translation>Port occupé&#xa0;: terminez d&apos;abord l&apos;opération en cours</translation>
    </message>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 non enregistré&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>RegularFileReader</name>
    <message>
        <source>it is not a regular file (a device, a pipe or a socket)</source>
        <translation>ce n&apos;est pas un fichier ordinaire (c&apos;est un périphérique, un tube ou une socket)</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>il dépasse %1 octets</translation>
    </message>
    <message>
        <source>it holds %1 bytes, more than the %2 a file of this kind can need</source>
        <translation>il contient %1 octets, plus que les %2 dont un fichier de ce type peut avoir besoin</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
</context>
<context>
    <name>StartupSettings</name>
    <message>
        <source>%1 %2 out of range, %3 used</source>
        <translation>%1 %2 hors limites, %3 utilisé</translation>
    </message>
    <message>
        <source>%1 of 5 values within its first %2 bytes, defaults used for the rest</source>
        <translation>%1 valeurs sur 5 dans ses %2 premiers octets, valeurs par défaut pour le reste</translation>
    </message>
    <message>
        <source>%1 of 5 values read, defaults used for the rest</source>
        <translation>%1 valeurs sur 5 lues, valeurs par défaut pour le reste</translation>
    </message>
    <message>
        <source>%1 not found, defaults used</source>
        <translation>%1 introuvable, valeurs par défaut utilisées</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2), defaults used</source>
        <translation>impossible de lire %1 (%2), valeurs par défaut utilisées</translation>
    </message>
</context>
<context>
    <name>TraceFile</name>
    <message>
        <source>Cannot open %1 for the traffic record: %2</source>
        <translation>Impossible d&apos;ouvrir %1 pour l&apos;enregistrement du trafic&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot write the traffic record to %1: %2</source>
        <translation>Impossible d&apos;écrire l&apos;enregistrement du trafic dans %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>TrafficView</name>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 non enregistré&#xa0;: %2</translation>
    </message>
    <message>
        <source>Save traffic record...</source>
        <translation>Enregistrer le trafic...</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Save traffic record</source>
        <translation>Enregistrer le trafic</translation>
    </message>
    <message>
        <source>Text (*.txt);;All files (*)</source>
        <translation>Texte (*.txt);;Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>WholeFileWriter</name>
    <message>
        <source>it is not a regular file (a device, a pipe or a socket)</source>
        <translation>ce n&apos;est pas un fichier ordinaire (c&apos;est un périphérique, un tube ou une socket)</translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation>le fichier n&apos;est pas ouvert</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>PortNumber %1 is not a port 1 to 9, Com1: used</source>
        <translation>PortNumber %1 n&apos;est pas un port de 1 à 9, Com1: utilisé</translation>
    </message>
    <message>
        <source>%1 could not be written</source>
        <translation>impossible d&apos;écrire %1</translation>
    </message>
    <message>
        <source>read not finished, nothing was changed</source>
        <translation>lecture inachevée, rien n&apos;a été modifié</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>zav-sim not found beside zav or on the PATH</source>
        <translation>zav-sim introuvable à côté de zav ou dans le PATH</translation>
    </message>
    <message>
        <source>zav-sim does not start: %1</source>
        <translation>zav-sim ne démarre pas&#xa0;: %1</translation>
    </message>
    <message>
        <source>zav-sim gave no device path (profile &quot;%1&quot;)</source>
        <translation>zav-sim n&apos;a donné aucun chemin de périphérique (profil «&#xa0;%1&#xa0;»)</translation>
    </message>
    <message>
        <source>No place for the demo&apos;s settings file: %1</source>
        <translation>Pas de place pour le fichier de réglages de la démonstration&#xa0;: %1</translation>
    </message>
</context>
</TS>
