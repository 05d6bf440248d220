// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help_text.h"

namespace veka {

namespace {

const char* const kIntro =
    R"html(<html><head><meta charset="utf-8"><title>Hilfe</title></head><body>
<h1>Netzwerktester &ndash; Hilfe</h1>
<p>Das Programm steuert den Netzwerktester am seriellen Anschluss: einen DDS-Signalgenerator,
ein Dämpfungsglied von 0 bis 30&nbsp;dB in 10-dB-Stufen und einen Detektor mit logarithmischem
und linearem Zweig. Es wobbelt einen Frequenzbereich Punkt für Punkt, zeichnet die Kurve,
wertet sie aus, kalibriert, speichert Einstellungen und Messreihen, druckt das Diagramm und
arbeitet als Signalgenerator (VFO). Antwortet kein Gerät, zeigt es Vorführwerte (Demo-Betrieb).</p>
<p><a href="#anschluss">Anschluss</a> &middot; <a href="#fenster">Hauptfenster</a> &middot;
<a href="#menues">Menüs und Tasten</a> &middot; <a href="#messarten">Messarten</a> &middot;
<a href="#vfo">VFO und ZF</a> &middot; <a href="#auswertung">Cursor und Auswertung</a> &middot;
<a href="#kalibrieren">Kalibrieren</a> &middot; <a href="#optionen">Optionen</a> &middot;
<a href="#dateien">Dateien</a> &middot; <a href="#simulator">Simulator</a></p>
)html";

const char* const kConnection = R"html(
<h2><a name="anschluss"></a>Gerät anschließen</h2>
<ul>
<li>Schnittstelle COM1 bis COM9, einzustellen unter <b>Einstellungen &gt; Optionen</b> (Feld
&bdquo;COM&ldquo;). Unter Linux sucht das Programm zuerst im Arbeitsverzeichnis eine Verknüpfung
namens <code>COM</code><i>n</i>, die auf das Gerät zeigt, zum Beispiel
<code>ln -s /dev/ttyUSB0 COM2</code>; gibt es sie nicht, nimmt es
<code>/dev/ttyS</code><i>n&minus;1</i> (COM1 ist <code>/dev/ttyS0</code>).</li>
<li>Übertragung: 9600, 19200, 38400 oder 57600 Baud, 8 Datenbits, keine Parität, 1 Stoppbit
(8N1), kein Handshake. Die Titelzeile zeigt Geräteversion und Schnittstelle.</li>
<li>Antwortet das Gerät nicht innerhalb von etwa 4 Sekunden, erscheint
&bdquo;Datenübertragungsfehler&ldquo;, die Titelzeile zeigt &bdquo;DEMO&ldquo;, und alle Messungen
laufen mit berechneten Vorführwerten weiter.</li>
<li>Den Demo-Betrieb verlässt man über <b>Einstellungen &gt; Optionen</b>: Schnittstelle und
Baudrate prüfen, mit OK (oder Cancel) schließen. Das Programm öffnet die Schnittstelle neu
und fragt das Gerät erneut; schweigt es wieder, beginnt der Demo-Betrieb von vorn.</li>
</ul>
)html";

const char* const kWindow = R"html(
<h2><a name="fenster"></a>Hauptfenster</h2>
<p>Links das Diagramm, oben die Messart mit Diagrammüberschrift, die Dämpfungsanzeige mit
Pfeiltasten und die kleinen Schaltflächen, rechts Frequenz, Schrittweite, Cursor und die
Messergebnisse, unten die Messarten. Ein unterstrichener Buchstabe wählt die Schaltfläche mit
Alt und diesem Buchstaben. Gehört derselbe Buchstabe auch zu einem Menü, öffnet Alt mit dem
Buchstaben das Menü: Alt+M öffnet das Menü Messung, die Schaltfläche Minus liegt auf F6.
Alt allein öffnet die Menüleiste; die Pfeiltasten wählen Menü und Eintrag, Esc schließt sie.</p>
<table border="1" cellspacing="0" cellpadding="3">
<tr><th>Schaltfläche</th><th>Wirkung</th></tr>
<tr><td>Start (Alt+S)</td><td>Startet die Messung; sie wiederholt sich, bis Stop gedrückt
wird. Währenddessen sind alle Befehle gesperrt, die Frequenz, Schrittweite, Messart, Dateien
oder Einstellungen ändern.</td></tr>
<tr><td>Stop (Alt+P)</td><td>Beendet die Messung nach dem laufenden Durchlauf, stellt den
Generator auf die Startfrequenz und zeigt Maximum, Minimum, Bandbreite und Cursorwert.</td></tr>
<tr><td>Minus (F6) / Plus (Alt+U, F7)</td><td>Startfrequenz um eine Schrittweite tiefer oder
höher; sie bleibt über 0 und unter Fmax.</td></tr>
<tr><td>Frequenz (Alt+F, F5)</td><td>Startfrequenz in Hz eingeben.</td></tr>
<tr><td>Schrittweite (Alt+W, F8)</td><td>Abstand zweier Messpunkte in Hz eingeben. Der
Messbereich reicht von der Startfrequenz über Messpunkte &times; Schrittweite.</td></tr>
<tr><td>&minus; / + (Alt+&minus;, Alt++)</td><td>Cursor einen Messpunkt nach links oder
rechts.</td></tr>
<tr><td>Cursor (Alt+C)</td><td>Cursor auf eine eingegebene Frequenz setzen.</td></tr>
<tr><td>max</td><td>Verschiebt die Kurve, bis ihr höchster Punkt die obere Linie (0&nbsp;dB)
erreicht.</td></tr>
<tr><td>log. (Alt+G) / lin. (Alt+N)</td><td>Logarithmischer Detektor mit dB-Skala oder
linearer Detektor mit Skala bis 1.</td></tr>
<tr><td>Smith</td><td>Nur in der Reflexionsmessung: Smith-Diagramm mit zwei Messwerten je
Punkt. Die Funktion ist noch nicht fertig; das Programm weist darauf hin.</td></tr>
<tr><td>Label</td><td>Diagrammüberschrift ändern (wird mit Messreihen gespeichert und
gedruckt).</td></tr>
<tr><td>Dämpfung (Pfeile)</td><td>Dämpfungsglied 0, 10, 20 oder 30&nbsp;dB; auch während
einer Messung.</td></tr>
<tr><td>Quit (Alt+Q)</td><td>Programm beenden. Es wird nichts gespeichert.</td></tr>
</table>
<p>Im Eingabefenster übernimmt OK oder die Eingabetaste den Wert; Abbruch oder Esc lässt den
alten Wert stehen. Ungültige Zahlen ersetzt das Programm ohne Meldung durch einen
Vorgabewert (Frequenz 10.000.000&nbsp;Hz, Schrittweite 50.000&nbsp;Hz).</p>
)html";

const char* const kMenus = R"html(
<h2><a name="menues"></a>Menüs und Funktionstasten</h2>
<table border="1" cellspacing="0" cellpadding="3">
<tr><th>Menü</th><th>Eintrag</th><th>Taste</th><th>Wirkung</th></tr>
<tr><td>Datei</td><td>Öffnen</td><td>F3</td><td>Konfiguration (*.cfg) laden</td></tr>
<tr><td></td><td>Speichern</td><td>F2</td><td>Konfiguration (*.cfg) speichern</td></tr>
<tr><td></td><td>Messreihe Speichern</td><td></td><td>Letzten Durchlauf als *.dat
speichern</td></tr>
<tr><td></td><td>Messreihe Laden</td><td></td><td>Messreihe anzeigen und auswerten; Messart
und Einstellungen bleiben</td></tr>
<tr><td></td><td>Diagramm drucken</td><td></td><td>Überschrift, Diagramm und Ergebnisse auf
einer Seite</td></tr>
<tr><td></td><td>Beenden</td><td>Alt+F4</td><td>Programm beenden</td></tr>
<tr><td>Messung</td><td>Durchgangsmessung, Reflexionsmessung, Spektralmessung, VFO</td>
<td></td><td>wie die Schaltflächen unten</td></tr>
<tr><td>Einstellungen</td><td>Frequenz</td><td>F5</td><td>wie Schaltfläche Frequenz</td></tr>
<tr><td></td><td>Minus</td><td>F6</td><td>wie Schaltfläche Minus</td></tr>
<tr><td></td><td>Plus</td><td>F7</td><td>wie Schaltfläche Plus</td></tr>
<tr><td></td><td>Schrittweite</td><td>F8</td><td>wie Schaltfläche Schrittweite</td></tr>
<tr><td></td><td>Dämpfung -</td><td>F9</td><td>Dämpfung 10&nbsp;dB weniger</td></tr>
<tr><td></td><td>Dämpfung +</td><td>F10</td><td>Dämpfung 10&nbsp;dB mehr</td></tr>
<tr><td></td><td>ZF Eingabe, Zwischenfrequenz einrechnen, Addition vs. Subtraktion</td>
<td></td><td>nur im VFO-Betrieb, siehe <a href="#vfo">VFO und ZF</a></td></tr>
<tr><td></td><td>Optionen</td><td></td><td>Einstellungsfenster, siehe
<a href="#optionen">Optionen</a></td></tr>
<tr><td>Kalibrieren</td><td>Durchgangsmessung, Reflexionsmessung, Linie 1 bis 7,
Spektralmessung, Taktgenerator</td><td></td><td>siehe <a href="#kalibrieren">Kalibrieren</a></td></tr>
<tr><td>?</td><td>Hilfe</td><td></td><td>diese Seite</td></tr>
<tr><td></td><td>Über</td><td></td><td>Info-Fenster</td></tr>
</table>
<p>Während einer Messung sind die Menüs Datei, Messung, Einstellungen und Kalibrieren gesperrt;
F2, F3 und F5 bis F10 wirken dann nicht.</p>
)html";

const char* const kModes = R"html(
<h2><a name="messarten"></a>Messarten</h2>
<ul>
<li><b>Durchgangsmessung</b>: Dämpfung oder Verstärkung eines Vierpols, Generator am Eingang,
Detektor am Ausgang. Nach Stop wird auch die Bandbreite angezeigt.</li>
<li><b>Reflexionsmessung</b>: Anpassung eines Zweipols über eine Messbrücke. Sieben
Bezugslinien (Linie 1 bis 7) markieren kalibrierte Werte. Hier ist auch Smith wählbar.</li>
<li><b>Spektralmessung</b>: Pegel eines von außen zugeführten Signals über der Frequenz.</li>
<li><b>VFO</b>: der Generator bleibt auf einer Frequenz stehen (siehe unten).</li>
</ul>
<p>Nach einem Übertragungsfehler zeigt das Programm unkorrigierte Rohwerte, bis wieder eine
Messart gewählt wird.</p>
<h2><a name="vfo"></a>VFO und Zwischenfrequenz</h2>
<p><b>VFO</b> macht das Gerät zum Signalgenerator auf der Startfrequenz; Frequenz, Plus und
Minus stimmen ihn nach, Start ist gesperrt. Nur in diesem Betrieb gibt es im Menü Einstellungen:</p>
<ul>
<li><b>ZF Eingabe</b>: Zwischenfrequenz in Hz eingeben.</li>
<li><b>Zwischenfrequenz einrechnen</b> (Haken): der Generator wird um die ZF verschoben.</li>
<li><b>Addition vs. Subtraktion</b> (Haken): mit Haken wird die ZF addiert, ohne Haken
abgezogen. Die Anzeige zeigt weiter die eingegebene Frequenz.</li>
</ul>
<p>Eine der drei Messarten beendet den VFO-Betrieb.</p>
)html";

const char* const kEvaluation = R"html(
<h2><a name="auswertung"></a>Cursor und Auswertung</h2>
<p>Nach Stop stehen rechts Maximum und Minimum mit ihrer Frequenz, der Wert am Cursor und in der
Durchgangsmessung die Bandbreite: untere und obere Grenzfrequenz und ihr Abstand, mit log.
als &bdquo;(6 dB)&ldquo;-Bandbreite, mit lin. als &bdquo;(3 dB)&ldquo;-Bandbreite bei 70&nbsp;% des
Maximums. Liegt eine Grenze außerhalb des
Messbereichs, bleibt die Bandbreite leer. Der Cursor wird mit &minus; und + punktweise oder mit
Cursor auf eine Frequenz gesetzt; seine Marke erscheint beim nächsten Durchlauf in der Kurve.
Frequenzmarken aus <code>frequenz.cfg</code> erscheinen als senkrechte Linien.</p>
)html";

const char* const kCalibration = R"html(
<h2><a name="kalibrieren"></a>Kalibrieren</h2>
<p>Jedes Verfahren startet eine laufende Messung und fragt in einer Meldung nach dem
Messaufbau; mit OK wird der Durchlauf ausgewertet. Es gilt immer für die gewählte Messart und
den gewählten Detektor (log. oder lin.); die Werte werden mit der Konfiguration gespeichert.</p>
<ul>
<li><b>Durchgangsmessung</b>: erst &bdquo;Eingang offen&ldquo; (unterer Rand), dann
&bdquo;Ein- und Ausgang verbunden&ldquo; (0&nbsp;dB, oberer Rand). Die Dämpfung wird auf
0&nbsp;dB gestellt.</li>
<li><b>Reflexionsmessung</b>: erst &bdquo;Anpassung 50 Ohm&ldquo;, dann &bdquo;Kurzschluß
oder Leerlauf&ldquo;. Dämpfung 0&nbsp;dB.</li>
<li><b>Linie 1 bis 7</b> (Reflexion): bekannten Abschluss anschließen; die Linie wird auf den
gemessenen Mittelwert gesetzt. Die Beschriftung der Linien steht unter Optionen.</li>
<li><b>Spektralmessung</b>: erst &bdquo;Eingang offen&ldquo;, dann ein Kalibriersignal von
707&nbsp;mV (lin.) oder 10&nbsp;dBm (log.) anlegen. Die Dämpfung bleibt, wie sie ist.</li>
<li><b>Taktgenerator</b>: das Gerät gibt ein Zehntel seines Takts aus; diese Frequenz mit
einem Frequenzzähler messen und eingeben. Der Takt wird daraus neu berechnet.</li>
</ul>
<p>&bdquo;Messfehler - keine Korrektur&ldquo; heißt: der zweite Messwert war unbrauchbar; der
Verstärkungsfaktor bleibt dann neutral. Kalibrieren wiederholen.</p>
)html";

const char* const kOptions = R"html(
<h2><a name="optionen"></a>Einstellungen &gt; Optionen</h2>
<p>COM-Nummer, Baudrate, Taktfrequenz, Eichfrequenz, Fmax (obere Grenze für Plus), Delay
(Pause in ms vor dem Steuerbyte), Messpunkte (höchstens 300), Hardwareversion (VEKA oder
VEKAMX), Messgenauigkeit (8 oder 10 Bit), Text und Lage der Linien 1 bis 7 und die Sprache
(ein Abschnitt der Datei <code>LANG.INI</code>). Nach dem Schließen wird die Schnittstelle neu
geöffnet und das Gerät erneut angesprochen.</p>
)html";

const char* const kFiles = R"html(
<h2><a name="dateien"></a>Dateien</h2>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td><code>vekami.cfg</code></td><td>Startkonfiguration im Arbeitsverzeichnis; ein anderer
Name kann als erstes Argument beim Aufruf angegeben werden. Fehlt die Datei, legt das
Programm sie mit den Grundwerten an.</td></tr>
<tr><td><code>*.cfg</code></td><td>Konfigurationen (Datei &gt; Speichern, Öffnen): Frequenzen,
Schnittstelle, Kalibrierwerte, Linien, Farben, Gerät, Sprache.</td></tr>
<tr><td><code>frequenz.cfg</code></td><td>Frequenzmarken: bis zu 20 Zeilen, je eine Frequenz
in Hz; wird beim Start gelesen und mit einem Texteditor geschrieben.</td></tr>
<tr><td><code>*.dat</code></td><td>Messreihen: Messart, Überschrift, Skala, Kalibrierwerte
und je Messpunkt Frequenz und Wert.</td></tr>
<tr><td><code>LANG.INI</code></td><td>Sprachdatei im Arbeitsverzeichnis, ein Abschnitt je
Sprache.</td></tr>
<tr><td><code>VEKA.HLP</code></td><td>Hilfedatei im Arbeitsverzeichnis (HTML oder Text);
fehlt sie, erscheint diese Seite.</td></tr>
</table>
)html";

const char* const kSimulator = R"html(
<h2><a name="simulator"></a>Ohne Gerät: der Simulator veka-sim</h2>
<p><code>veka-sim</code> spielt das Gerät an einer Pseudo-Schnittstelle und legt die
Verknüpfung <code>COM</code><i>n</i> im angegebenen Verzeichnis an. Beispiel mit einem Bandpass
bei 10,14&nbsp;MHz im Arbeitsverzeichnis:</p>
<pre>build/veka-sim --dir . --port 2 --dut bandpass --centre 10140000 --bandwidth 100000</pre>
<p>Danach in einem zweiten Fenster im selben Verzeichnis <code>build/veka</code> starten und
unter Optionen COM&nbsp;2 wählen (Grundwert). Alle Möglichkeiten zeigt
<code>veka-sim --help</code>.</p>
</body></html>
)html";

}  // namespace

QString builtInHelpHtml() {
    QString html;
    for (const char* part : {kIntro, kConnection, kWindow, kMenus, kModes, kEvaluation,
                             kCalibration, kOptions, kFiles, kSimulator}) {
        html += QString::fromUtf8(part);
    }
    return html;
}

}  // namespace veka
