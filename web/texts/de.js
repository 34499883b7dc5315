// Die Texte der Seite auf Deutsch: dieselben Schlüssel wie die englische
// Tabelle; `code` sind Wörter der Werkzeuge selbst und bleiben, wie sie sind;
// {name} wird eingesetzt; { one, other } wählt die Zahl {n}.
export default Object.freeze({
  // Kopf und Sprachwahl
  'page.intro':
    'Bereitet ROM-Abbilder für die 64 Bänke des Flash-Speichers im Laufwerk vor, hier in der Seite: nichts wird installiert, nichts verlässt diesen Rechner.',
  'page.skip': 'Zu „Ausführen“ springen',
  'language.label': 'Sprache / Language',
  'update.ready': 'Eine neue Version ist bereit: neu laden',
  'update.reload': 'Neu laden',

  // Meldungen, die bleiben, bis man sie schließt
  'alert.dismiss': 'Schließen',
  'abort.run': {
    one: 'Der Lauf {command} mit {n} Datei ({names}) wurde nicht beendet: {cause}. {consequence}',
    other: 'Der Lauf {command} mit {n} Dateien ({names}) wurde nicht beendet: {cause}. {consequence}',
  },
  'abort.aborted': 'er wurde abgebrochen: {said}',
  'abort.memory': 'dem Programmkern ging der Speicher aus',
  'abort.memoryLines': {
    one: 'dem Programmkern ging der Speicher aus: {catalogue}: {n} Zeile ist mehr, als ein Lauf fassen kann',
    other: 'dem Programmkern ging der Speicher aus: {catalogue}: {n} Zeilen sind mehr, als ein Lauf fassen kann',
  },
  'abort.nothingKept': 'Nichts davon wurde behalten: der Arbeitsbereich ist, wie er war.',
  'abort.asEmpty':
    'Die Dateien werden gezeigt, als wäre der Katalog leer: kein Block ist mit Namen bekannt, bis `crc.ini` kleiner ist.',
  failure:
    'Etwas ist fehlgeschlagen: {what}. Der Arbeitsbereich ist so, wie die Liste ihn zeigt; noch einmal versuchen oder die Seite neu laden.',
  'files.notAdded':
    'Nicht hinzugefügt: {names}. Nur Dateien kommen in den Arbeitsbereich: die Dateien eines Ordners einzeln auswählen.',
  'storage.left': 'Aus dem Arbeitsbereich gelassen, da keine Dateien: {names}.',
  'storage.notKept':
    'Nicht behalten: {names}: {why}.{room} Sie bleiben hier, als „nicht behalten“ markiert, bis die Seite geschlossen wird: Wichtiges herunterladen. Jede spätere Änderung versucht erneut, sie zu behalten.',
  'storage.room': ' Der Browser gibt dieser Seite {quota}: {used} belegt, {left} frei.',
  'storage.tryAgain': 'Noch einmal versuchen',
  'storage.nothingKept':
    'Dieser Browser behält nichts für diese Seite: der Arbeitsbereich besteht nur, bis die Seite geschlossen wird. Wichtiges herunterladen, vor allem `flash.bin`, bevor Sie sie schließen.',
  'storage.nothingKeptWhy':
    'Dieser Browser behält nichts für diese Seite ({why}): der Arbeitsbereich besteht nur, bis die Seite geschlossen wird. Wichtiges herunterladen, vor allem `flash.bin`, bevor Sie sie schließen.',

  // Kleine Wörter
  'list.and': ' und ',
  'size.bytes': { one: '{n} Byte', other: '{n} Bytes' },
  'console.stderr': 'Standardfehlerausgabe',

  // Fragen
  'ask.replaceTaken': {
    one: '{names} ist schon im Arbeitsbereich. Durch die hinzugefügte Datei ersetzen?',
    other: '{names} sind schon im Arbeitsbereich. Durch die hinzugefügten Dateien ersetzen?',
  },
  'ask.replaceChanged': {
    one: '{names} wurde in einem anderen Tab geändert oder hinzugefügt, seit dieser Tab den Arbeitsbereich zeigte. Durch die hinzugefügte Datei ersetzen?',
    other:
      '{names} wurden in einem anderen Tab geändert oder hinzugefügt, seit dieser Tab den Arbeitsbereich zeigte. Durch die hinzugefügten Dateien ersetzen?',
  },
  'ask.replace': 'Ersetzen',
  'ask.keepWorkspace': 'Die des Arbeitsbereichs behalten',
  'ask.leave': 'So lassen',
  'ask.removeChanged': '{name} wurde in einem anderen Tab geändert, seit dieser Tab sie zeigte. Trotzdem entfernen?',
  'ask.removeIt': 'Entfernen',
  'ask.startOver': {
    one: 'Die einzige Datei des Arbeitsbereichs löschen{image}? Was nicht heruntergeladen ist, ist verloren.',
    other: 'Alle {n} Dateien des Arbeitsbereichs löschen{image}? Was nicht heruntergeladen ist, ist verloren.',
  },
  'ask.startOverImage': ', darunter `flash.bin`, das Abbild des ganzen Flash-Speichers',
  'ask.delete': { one: '{n} Datei löschen', other: '{n} Dateien löschen' },
  'ask.keep': { one: 'Behalten', other: 'Behalten' },

  // Der Arbeitsbereich
  'storage.opening': 'Der Arbeitsbereich wird geöffnet …',
  'storage.noneNote':
    'Dieser Browser behält nichts für diese Seite: der Arbeitsbereich besteht, bis die Seite geschlossen wird.',
  'storage.keptNote': 'Der Arbeitsbereich wird in diesem Browser behalten{room}, bis Sie neu anfangen.',
  'storage.keptNoteBestEffort':
    'Der Arbeitsbereich wird in diesem Browser behalten{room}, bis Sie neu anfangen, es sei denn, der Browser räumt ihn bei Platzmangel.',
  'storage.keptRoom': ' ({used} belegt, {left} frei)',
  'files.tooBig': '{size}: mehr als die {most} MB, die eine Datei im Arbeitsbereich haben darf',
  'files.folder': 'ein Ordner',
  'files.unreadable': 'nicht lesbar; ein Ordner?',
  'name.none': 'kein Dateiname',
  'name.long': 'ein Name mit mehr als 255 Zeichen',
  'name.slash': 'ein Name mit „/“ oder NUL darin',
  'name.malformed': 'ein Name, der kein wohlgeformter Text ist',
  'stored.notBytes': 'nicht die Bytes einer Datei',
  'stored.tooBig': '{n} Bytes, mehr als eine Datei im Arbeitsbereich haben darf',
  'storage.blocked': 'ein anderer Tab mit einer älteren Seite hält den Speicher offen',
  'storage.silent': 'der Speicher antwortete nicht binnen {s} s',
  'storage.silentWrite': 'der Speicher des Browsers antwortete nicht binnen {s} s',
  'storage.refused': 'der Browser weigerte sich, sie zu behalten',
  'storage.full': 'der Speicher des Browsers ist voll oder verweigerte das Schreiben (seine Worte: {words})',
  'storage.stale': 'ein anderer Tab hat sie seitdem geändert; die hier gezeigte Fassung lässt sich noch herunterladen',
  'storage.noIndexedDB': 'keine IndexedDB',
  'storage.openSilent': 'er antwortete nicht binnen {s} s',

  // Die Dateien des Arbeitsbereichs
  'workspace.title': '1. Arbeitsbereich',
  'files.label': 'Dateien im Arbeitsbereich',
  'files.file': 'Datei',
  'files.holds': 'Was sie enthält',
  'files.actions': 'Aktionen',
  'files.add':
    'ROM-Abbilder, `fcFlash.prg` (das Flash-Programm), `crc.ini` oder `flash.bin` hinzufügen; oder hierher ziehen',
  'files.count': { one: '{n} Datei', other: '{n} Dateien' },
  'files.empty': 'Der Arbeitsbereich ist leer: die Dateien hinzufügen, mit denen Sie arbeiten.',
  'files.remove': 'Entfernen',
  'files.removeNamed': '{name} entfernen',
  'files.download': 'Herunterladen',
  'files.downloadNamed': '{name} herunterladen',
  'files.addBlock': 'Block {block} von {file} in den Katalog aufnehmen',
  'files.startOver': 'Neu anfangen …',
  'files.downloadAll': 'Alle als .zip herunterladen',
  'kind.image': 'Flash-Abbild',
  'kind.rom': 'ROM-Datei',
  'kind.loader': 'Bank-Ladedatei',
  'kind.catalogue': 'Katalog',
  'kind.disk': 'Diskettenabbild',
  'kind.flasher': 'Flash-Programm',
  'kind.other': 'sonstige',
  'mark.new': 'neu',
  'mark.changed': 'geändert',
  'mark.rewritten': 'neu geschrieben, gleiche Bytes',
  'mark.notKept': 'nicht behalten',
  'words.banks': { one: 'Bank {banks}', other: 'Bänke {banks}' },
  'words.unknownRom': 'unbekanntes ROM, CRC-16 {crc}',
  'holds.blankBlocks': { one: '{n} leerer Block', other: '{n} leere Blöcke' },
  'holds.blankBanks': { one: '{n} leere Bank', other: '{n} leere Bänke' },
  'holds.timesBlocks': { one: ', ×{n} Block', other: ', ×{n} Blöcke' },
  'holds.timesBanks': { one: ', ×{n} Bank', other: ', ×{n} Bänke' },
  'holds.noBlock': 'kein ganzer Block: nichts zu schreiben',
  'holds.moreRoms': { one: '{n} weiteres ROM: die Datei prüfen', other: '{n} weitere ROMs: die Datei prüfen' },
  'holds.unknownBlocksOne': 'unbekannter Block {at}, CRC-16 {crc}',
  'holds.unknownBanksOne': 'unbekannte Bank {at}, CRC-16 {crc}',
  'holds.unknownBlocks': { one: '{n} unbekannter Block, CRC-16 {crcs}', other: '{n} unbekannte Blöcke, CRC-16 {crcs}' },
  'holds.unknownBanks': { one: '{n} unbekannte Bank, CRC-16 {crcs}', other: '{n} unbekannte Bänke, CRC-16 {crcs}' },
  'holds.entries': { one: '{n} Eintrag', other: '{n} Einträge' },
  'holds.flasher': 'geht mit jeder Bank-Ladedatei ans Laufwerk',
  'holds.damaged': 'beschädigt: {damage}',
  'holds.noRecords': 'keine Datensätze des Flash-Programms',
  'holds.loader': 'Bank {bank}: {rom}',
  'holds.loaderAway': 'Bank {bank}: {rom} (eine Bank, die der Flash-Speicher nicht hat)',
  'holds.disk': { one: '„{name}“, {n} Datei', other: '„{name}“, {n} Dateien' },
  'holds.blocksFree': { one: ', {n} Block frei', other: ', {n} Blöcke frei' },
  'holds.diskNotRight': '; eine Datei darauf stimmt nicht: prüfen',

  // Der Flash-Speicher
  'flash.title': '3. Der Flash-Speicher',
  'flash.note':
    'Mit „Das Abbild des ganzen Flash-Speichers behalten“ ausführen oder eine `flash.bin` hinzufügen, um hier seine 64 Bänke zu sehen.',
  'flash.image': 'Abbild',
  'flash.label': 'Bänke des Flash-Speichers',
  'flash.detail': 'Auf eine Bank zeigen oder mit den Pfeiltasten zu ihr gehen, um zu sehen, was sie enthält.',
  'map.blank': 'Bank {bank}: leer',
  'map.unknown': 'Bank {bank}: unbekannt, CRC-16 {crc}',
  'map.known': 'Bank {bank}: {name}, CRC-16 {crc}',
  'map.misplaced': '; falsch platziert: der Katalog nennt {banks}',
  'map.differs': {
    one: '; weicht in {n} Byte vom erwarteten Abbild ab: erwartet {expected}, gefunden {found}',
    other: '; weicht in {n} Bytes vom erwarteten Abbild ab: erwartet {expected}, gefunden {found}',
  },
  'map.sideBlank': 'leer',
  'map.sideKnown': '{name} (CRC-16 {crc})',
  'map.sideUnknown': 'unbekannt (CRC-16 {crc})',
  'map.legendBlank': 'leer ({n})',
  'map.legendUnknown': 'unbekannt: kein Katalogeintrag hat seine CRC-16 ({n})',
  'map.legendMisplaced': 'falsch platziert: in einer Bank, die sein Katalogeintrag nicht nennt ({n})',
  'map.legendDiffers': 'umrandet: weicht vom erwarteten Abbild ab ({n})',

  // Prüfen und vergleichen
  'inspect.title': 'Prüfen und vergleichen',
  'inspect.file': 'Datei',
  'inspect.run': 'Prüfen',
  'inspect.expected': 'Erwartetes Abbild',
  'inspect.found': 'gefundenes Abbild',
  'inspect.compare': 'Vergleichen',
  'inspect.report': 'Bericht',
  'inspect.needTwo': 'Vergleichen braucht zwei Flash-Abbilder.',
  'inspect.chooseTwo': 'Zwei verschiedene Abbilder wählen.',
  'report.status': '(Rückgabewert {status})',
  'report.json': 'Den Bericht als JSON herunterladen ({name})',
  'again.disk': 'Eine Diskette, um {banks} neu zu programmieren',
  'again.held': {
    one: 'Um sie wie erwartet neu zu programmieren: {files}, im Arbeitsbereich.',
    other: 'Um sie wie erwartet neu zu programmieren: {files}, im Arbeitsbereich.',
  },
  'again.otherData': '{file} enthält andere Daten',
  'again.notThere': '{file} ist nicht da',
  'again.missing': {
    one: 'Nicht wie erwartet im Arbeitsbereich: {named}: das Werkzeug mit der ROM-Datei für {banks} ausführen, um sie zu schreiben.',
    other:
      'Nicht wie erwartet im Arbeitsbereich: {named}: das Werkzeug mit der ROM-Datei für {banks} ausführen, um sie zu schreiben.',
  },
  'again.blank': 'Erwartet leer: {banks}. Keine Bank-Ladedatei schreibt eine leere Bank.',

  // Zum Laufwerk
  'drive.title': 'Zum Laufwerk',
  'drive.intro':
    'Jede Bank-Ladedatei ist ein Programm für das Laufwerk: auf dem Rechner geladen und gestartet, an dem das Laufwerk hängt, bringt sie das Flash-Programm, die Banknummer und den 8-KB-Block mit und programmiert diese eine Bank. Sie auf ein unten erstelltes Diskettenabbild legen (oder auf die SD-Karte eines SD-Laufwerks kopieren) und nacheinander starten.',
  'drive.item': 'Bank {bank}, {rom}',
  'drive.zip': {
    one: 'Die {n} Bank-Ladedatei als eine .zip herunterladen',
    other: 'Die {n} Bank-Ladedateien als eine .zip herunterladen',
  },
  'drive.image': ': das Abbild des ganzen Flash-Speichers, für ein Programmiergerät (den TL866).',
  'drive.away': {
    one: 'Nicht im Flash-Speicher, dessen Bänke 00–3f sind: {n} Datei für {banks}. Was das Flash-Programm mit einer solchen Bank tut, ist nicht bekannt; sie kommen nur angehakt auf die Diskette.',
    other:
      'Nicht im Flash-Speicher, dessen Bänke 00–3f sind: {n} Dateien für {banks}. Was das Flash-Programm mit einer solchen Bank tut, ist nicht bekannt; sie kommen nur angehakt auf die Diskette.',
  },
  'drive.awayBank': 'Bank {bank}',
  'drive.putAnyway': '{file} (Bank {bank}) trotzdem auf die Diskette legen',
  'drive.disks': 'Oder als Diskettenabbilder, hier erstellt',
  'drive.d64': '`.d64`: 35 Spuren, die Disketten der 1541 und der meisten SD-Karten-Laufwerke',
  'drive.d81': '`.d81`: 80 Spuren, die Disketten der 1581',
  'drive.make': 'Die Diskettenabbilder erstellen',
  'disks.said': 'Was {program} sagte',
  'disks.failed': '{program} endete mit Rückgabewert {status}: siehe, was es sagte.',
  'disks.label': 'Diskettenabbilder',
  'disks.kept': ' ({size}, im Arbeitsbereich behalten)',
  'disks.removed': 'Aus dem Arbeitsbereich entfernte Diskettenabbilder werden hier nicht mehr angeboten.',

  // Das Ergebnis eines Laufs
  'result.title': 'Ergebnis',
  'result.none': 'Noch kein Lauf.',
  'stopped.aborted': 'er wurde abgebrochen',
  'stopped.engine': 'der Programmkern hat ihn angehalten',
  'stopped.cancelled': 'Sie haben ihn abgebrochen',
  'verdict.notFinished': 'Der Lauf wurde nicht beendet: {why}. Nichts davon wurde behalten.',
  'verdict.notKept': {
    one: 'Der Lauf endete mit Rückgabewert {status}, aber {n} Datei, die er schrieb, wurde nicht behalten: der Browser verweigerte das Speichern. Unten herunterladen, was Sie brauchen.',
    other:
      'Der Lauf endete mit Rückgabewert {status}, aber {n} Dateien, die er schrieb, wurden nicht behalten: der Browser verweigerte das Speichern. Unten herunterladen, was Sie brauchen.',
  },
  'verdict.loaders': { one: '{n} Bank-Ladedatei geschrieben', other: '{n} Bank-Ladedateien geschrieben' },
  'verdict.awayImage': {
    one: 'Bank {banks} hat keinen Platz in `flash.bin`: der Flash-Speicher hat die Bänke 00–3f',
    other: 'Bänke {banks} haben keinen Platz in `flash.bin`: der Flash-Speicher hat die Bänke 00–3f',
  },
  'verdict.awayFlash': {
    one: 'Bank {banks} ist nicht im Flash-Speicher: er hat die Bänke 00–3f',
    other: 'Bänke {banks} sind nicht im Flash-Speicher: er hat die Bänke 00–3f',
  },
  'verdict.away': '{reason}. {written} (Rückgabewert {status}).',
  'verdict.none': 'Keine Bank-Ladedatei wurde geschrieben (Rückgabewert {status}).',
  'verdict.good': '{written} und jede Ausgabe vollständig (Rückgabewert 0).',
  'verdict.partial': '{written}, aber nicht jede Ausgabe ließ sich vollständig schreiben (Rückgabewert {status}).',
  'verdict.before': 'Der Lauf davor: {line}',
  'verdict.lost':
    'Der Lauf {command} wurde nicht beendet: nichts davon wurde behalten. Die Seite wurde geschlossen oder neu geladen, während er lief.',
  'verdict.elsewhere': 'In einem anderen Tab läuft gerade: {command}.',
  'verdict.command': 'Befehlszeile: {command}',
  'verdict.byBank': 'Bank-Ladedateien, nach Bank:',
  'verdict.loaderItem': 'Bank {bank}: {file}, {rom}',
  'verdict.unknownRom': 'unbekanntes ROM (CRC-16 {crc})',
  'verdict.unknownIntro': {
    one: '{n} Block, den der Katalog nicht kannte (dort aufgenommen, geht er beim nächsten Lauf in seine Bänke):',
    other: '{n} Blöcke, die der Katalog nicht kannte (dort aufgenommen, geht jeder beim nächsten Lauf in seine Bänke):',
  },
  'verdict.unknownItem': '{file}, Block {block}: CRC-16 {crc}',
  'verdict.nowKnown': ': jetzt im Katalog, Zeile {line} ({banks}): erneut ausführen, um ihn zu schreiben',
  'verdict.unknownMore': 'und {n} weitere: der Prüfbericht jeder ROM-Datei nennt sie alle',
  'verdict.blank': {
    one: '{n} leerer Block (alles $FF) übergangen: eine leere Bank braucht kein Programmieren.',
    other: '{n} leere Blöcke (alles $FF) übergangen: eine leere Bank braucht kein Programmieren.',
  },
  'verdict.damaged': 'Beschädigt: {names}.',
  'verdict.errors': {
    one: '{n} Fehlerzeile in der Konsole: {link}.',
    other: '{n} Fehlerzeilen in der Konsole: {link}.',
  },
  'verdict.firstError': 'die erste',
  'why.noFlasher':
    'Es gibt kein `fcFlash.prg` (das Flash-Programm) im Arbeitsbereich: hinzufügen, dann erneut ausführen.',
  'why.noneKnown': 'Kein Block der ausgeführten ROM-Dateien ist dem Katalog bekannt: jeder ist unbekannt oder leer.',
  'why.errors': 'Das Werkzeug sagt in der Konsole, warum: seine Fehlerzeilen sind dort abgesetzt.',
  'why.nothingSent': 'Kein Block ging an eine Bank: die Konsole nennt die Schritte.',

  // Der Katalog
  'catalogue.title': 'Katalog (`crc.ini`)',
  'catalogue.shared': {
    one: 'Bank {bank} wird von {n} Eintrag genannt: {entries}: ein Lauf schreibt jedes ROM, das er bekommt, dorthin, das spätere über das frühere.',
    other:
      'Bank {bank} wird von {n} Einträgen genannt: {entries}: ein Lauf schreibt jedes ROM, das er bekommt, dorthin, das spätere über das frühere.',
  },
  'catalogue.sharedLast': {
    one: 'Bank {bank} wird von {n} Eintrag genannt, zuletzt: {entries}: ein Lauf schreibt jedes ROM, das er bekommt, dorthin, das spätere über das frühere.',
    other:
      'Bank {bank} wird von {n} Einträgen genannt, zuletzt: {entries}: ein Lauf schreibt jedes ROM, das er bekommt, dorthin, das spätere über das frühere.',
  },
  'catalogue.entryLine': '{name} (Zeile {line})',
  'catalogue.refused': 'abgelehnt (rc={status}): {why}',
  'catalogue.line': 'Zeile',
  'catalogue.crc': 'CRC-16',
  'catalogue.banks': 'Bänke',
  'catalogue.romName': 'ROM-Name',
  'catalogue.entries': 'Einträge von `crc.ini`',
  'catalogue.summary': '{entries} auf {lines}',
  'catalogue.lines': { one: '{n} Zeile', other: '{n} Zeilen' },
  'catalogue.refusedCount': { one: '; {n} Zeile abgelehnt', other: '; {n} Zeilen abgelehnt' },
  'catalogue.againCount': {
    one: '; {n} CRC-16 mehr als einmal aufgeführt',
    other: '; {n} CRC-16-Werte mehr als einmal aufgeführt',
  },
  'catalogue.unlisted':
    '`crc.ini` lässt sich hier nicht auflisten: {error}. Ein Lauf des Werkzeugs liest sie selbst und sagt es, wenn er es nicht kann.',
  'catalogue.writeDefault': 'Die eingebaute `crc.ini` schreiben',
  'catalogue.none':
    'Es gibt keine `crc.ini`: das Werkzeug schreibt beim ersten Lauf seinen eingebauten Katalog und ordnet die Blöcke danach den Bänken zu.',
  'catalogue.listedAgain': '{crc} steht in den Zeilen {lines}: das Werkzeug nimmt Zeile {used}.',
  'catalogue.cut': {
    one: 'Die erste {n} Zeile der Einträge und Ablehnungen wird gezeigt: `crc.ini` prüfen, um alle zu sehen.',
    other: 'Die ersten {n} Zeilen der Einträge und Ablehnungen werden gezeigt: `crc.ini` prüfen, um alle zu sehen.',
  },
  'catalogue.outOfMemory': {
    one: 'dem Prüfer ging beim Lesen seiner {n} Zeile der Speicher aus',
    other: 'dem Prüfer ging beim Lesen seiner {n} Zeilen der Speicher aus',
  },
  'catalogue.noReport': 'der Prüfer gab keinen Bericht',

  // Das Formular, das dem Katalog eine Zeile anfügt
  'form.title': 'In den Katalog aufnehmen',
  'form.intro': 'Eine Zeile für den Block mit CRC-16 {crc} ({file}, Block {block}), an `crc.ini` angefügt:',
  'form.name': 'ROM-Name',
  'form.banks': 'Bänke, in die er geht: je zwei Hexadezimalziffern, 00 bis 3f, getrennt durch Leerzeichen oder Kommas',
  'form.line': 'Die Zeile:',
  'form.add': 'Aufnehmen',
  'form.cancel': 'Abbrechen',
  'form.passedOver': 'eine Zeile, die es übergeht',
  'form.entryNamed': 'einen Eintrag namens „{name}“',
  'form.refusedLine': 'eine abgelehnte Zeile (rc={status})',
  'form.then': ', dann ',
  'form.bankAlso':
    'Bank {bank} enthält auch {name} (Zeile {line}): ein Lauf schreibt jedes ROM, das er bekommt, dorthin, das spätere über das frühere.',
  'form.listedToo': {
    one: '{crc} steht auch in Zeile {lines}: das Werkzeug nimmt diese neue Zeile.',
    other: '{crc} steht auch in den Zeilen {lines}: das Werkzeug nimmt diese neue Zeile.',
  },
  'form.unreadable': '`crc.ini` lässt sich nicht lesen: {error}. Nichts wurde geschrieben.',
  'form.manyLines': {
    one: 'Das Werkzeug würde diese Zeile als {n} Zeile lesen: {pieces}. Kürzer fassen; nichts wurde geschrieben.',
    other: 'Das Werkzeug würde diese Zeile als {n} Zeilen lesen: {pieces}. Kürzer fassen; nichts wurde geschrieben.',
  },
  'form.noLineReport': 'kein Bericht über die Zeile',
  'form.refuses': 'Das Werkzeug lehnt die Zeile ab (rc={status}): {why}.',
  'form.reads': 'CRC-16 {crc}, {banks}, Name „{name}“',
  'form.otherwise': 'Das Werkzeug würde diese Zeile anders lesen: {reads}. Nichts wurde geschrieben.',
  'form.toolReads': 'Das Werkzeug liest: {reads}.',
  'form.nameNeeded': 'Ein ROM-Name ist nötig.',
  'form.notKept': '`crc.ini` wurde nicht behalten: {why}.',
  'form.notAdded': 'Die Zeile ließ sich nicht aufnehmen: siehe die Meldung oben.',

  // Ausführen
  'run.title': '2. Ausführen',
  'run.mode': 'Auszuführende ROM-Dateien',
  'run.these': 'Diese, in der Reihenfolge des Ankreuzens:',
  'run.roms': 'ROM-Dateien',
  'run.all': 'Alle Bänke: jede vorhandene `memFlashBank_00.bin` … `memFlashBank_22.bin` (`-a`)',
  'run.options': 'Optionen',
  'run.keepImage': 'Das Abbild des ganzen Flash-Speichers behalten, `flash.bin` (`-t`)',
  'run.blocks': 'Auch jeden Block als `blockXX.bin` schreiben (`-b`)',
  'run.detail': 'Ausführlichkeit der Konsole (`-v`)',
  'run.detail0': '0: nur der Kopf, ungewöhnliche Größen und Fehler',
  'run.detail1': '1: jeder Schritt (die Vorgabe)',
  'run.detail2': '2: auch CRC-16-Werte, Größen und Adressen',
  'run.detail3': '3: auch jeder Ladedatensatz',
  'run.sb':
    'Jeden Block an eine Bank senden, ohne den Katalog (`-sb`, zwei Hexadezimalziffern; leer: der Katalog entscheidet)',
  'run.commandLine': 'Befehlszeile:',
  'run.run': 'Ausführen',
  'run.cancel': 'Abbrechen',
  'run.noRoms': 'Noch keine ROM-Datei im Arbeitsbereich.',
  'run.sbBad': '„{value}“ sind nicht zwei Hexadezimalziffern (00 bis ff)',
  'run.sbWaits': '{problem}: Ausführen wartet auf zwei.',
  'run.fixBank': 'Erst die Bank (-sb) berichtigen.',
  'run.checkRom': 'Eine ROM-Datei ankreuzen oder alle Bänke wählen.',
  'run.running': '{command} läuft …',
  'outputs.written': {
    one: 'Von diesem Lauf geschrieben ({n} Datei):',
    other: 'Von diesem Lauf geschrieben ({n} Dateien):',
  },
  'outputs.label': 'Von diesem Lauf geschrieben',
  'outputs.zip': 'Alle als eine .zip herunterladen',

  // Die Konsole
  'console.title': 'Konsole',
  'console.note': 'was das Werkzeug ausgab, in der Reihenfolge der Ausgabe',
});
