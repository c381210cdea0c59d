<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AssignPortDialog</name>
    <message>
        <source>Serial adapters</source>
        <translation>Adaptadores serie</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Dispositivo</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Descripción</translation>
    </message>
    <message>
        <source>Maker</source>
        <translation>Fabricante</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Número de serie</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Stable name</source>
        <translation>Nombre estable</translation>
    </message>
    <message>
        <source>No serial device is present: plug the adapter in and open this list again.</source>
        <translation>No hay ningún dispositivo serie: conecte el adaptador y vuelva a abrir esta lista.</translation>
    </message>
    <message>
        <source>Assign</source>
        <translation>Asignar</translation>
    </message>
    <message>
        <source>Remove assignment</source>
        <translation>Quitar la asignación</translation>
    </message>
    <message>
        <source>assigned: %1</source>
        <translation>asignado: %1</translation>
    </message>
    <message>
        <source>not assigned: opens %1</source>
        <translation>sin asignar: abre %1</translation>
    </message>
    <message>
        <source>; %1 is set to %2 and comes first</source>
        <translation>; %1 vale %2 y tiene prioridad</translation>
    </message>
</context>
<context>
    <name>ColourTransfer</name>
    <message>
        <source>Busy: wait for the running operation to end</source>
        <translation>Ocupado: espere a que termine la operación en curso</translation>
    </message>
    <message>
        <source>colour read not finished, nothing was changed</source>
        <translation>lectura de colores no terminada, no se ha cambiado nada</translation>
    </message>
    <message>
        <source>colour read not finished, rows %1 not changed</source>
        <translation>lectura de colores no terminada, filas %1 sin cambiar</translation>
    </message>
</context>
<context>
    <name>DeviceOperations</name>
    <message>
        <source>Busy: wait for the running operation to end</source>
        <translation>Ocupado: espere a que termine la operación en curso</translation>
    </message>
    <message>
        <source>Identification Error in step %1</source>
        <translation>Error de identificación en el paso %1</translation>
    </message>
</context>
<context>
    <name>HelpLauncher</name>
    <message>
        <source>%1 not found</source>
        <translation>no se encuentra %1</translation>
    </message>
    <message>
        <source>Cannot start the help viewer: </source>
        <translation>No se puede iniciar el visor de ayuda: </translation>
    </message>
</context>
<context>
    <name>LanguageChoice</name>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 no se ha guardado: %2</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>Com%1: cannot be opened (%2: %3)</source>
        <translation>Com%1: no se puede abrir (%2: %3)</translation>
    </message>
    <message>
        <source>Com%1: the line was lost (%2: %3)</source>
        <translation>Com%1: se ha perdido la línea (%2: %3)</translation>
    </message>
</context>
<context>
    <name>OpenDiagnosis</name>
    <message>
        <source> is not connected</source>
        <translation> no está conectado</translation>
    </message>
    <message>
        <source>; no USB serial adapter is plugged in</source>
        <translation>; no hay ningún adaptador serie USB conectado</translation>
    </message>
    <message>
        <source>; adapters plugged in: </source>
        <translation>; adaptadores conectados: </translation>
    </message>
    <message>
        <source> may not be opened by this user: </source>
        <translation> no lo puede abrir este usuario: </translation>
    </message>
    <message>
        <source>this user is in group %1, but this session started before; log out and in again</source>
        <translation>este usuario pertenece al grupo %1, pero esta sesión se inició antes; cierre la sesión y vuelva a entrar</translation>
    </message>
    <message>
        <source>join group %1 (sudo usermod -aG %1 $USER), then log in again</source>
        <translation>únase al grupo %1 (sudo usermod -aG %1 $USER) y vuelva a iniciar la sesión</translation>
    </message>
    <message>
        <source>only %1 may open it (mode %2); ask the administrator for a udev rule that gives group dialout access</source>
        <translation>solo %1 puede abrirlo (modo %2); pida al administrador una regla udev que dé acceso al grupo dialout</translation>
    </message>
    <message>
        <source>; ModemManager probes serial adapters for modems: stop it (sudo systemctl stop ModemManager), or keep it off this adapter for good with the udev rule %1 in /etc/udev/rules.d/99-zav.rules</source>
        <translation>; ModemManager sondea los adaptadores serie en busca de módems: deténgalo (sudo systemctl stop ModemManager) o apártelo de este adaptador para siempre con la regla udev %1 en /etc/udev/rules.d/99-zav.rules</translation>
    </message>
    <message>
        <source>; brltty takes USB serial adapters for braille displays: stop it (sudo systemctl stop brltty-udev.service brltty.service), or remove it (sudo apt remove brltty) when no braille display is used</source>
        <translation>; brltty toma los adaptadores serie USB por líneas braille: deténgalo (sudo systemctl stop brltty-udev.service brltty.service) o desinstálelo (sudo apt remove brltty) si no se usa ninguna línea braille</translation>
    </message>
    <message>
        <source> is already open in this program</source>
        <translation> ya está abierto en este programa</translation>
    </message>
    <message>
        <source> is in use by another program</source>
        <translation> lo está usando otro programa</translation>
    </message>
    <message>
        <source>: process %1</source>
        <translation>: proceso %1</translation>
    </message>
    <message>
        <source>: %1 (process %2)</source>
        <translation>: %1 (proceso %2)</translation>
    </message>
    <message>
        <source>Com%1: no device for this port</source>
        <translation>Com%1: no hay ningún dispositivo para este puerto</translation>
    </message>
    <message>
        <source> (no device answers at this node)</source>
        <translation> (ningún dispositivo responde en este nodo)</translation>
    </message>
    <message>
        <source> cannot be opened</source>
        <translation> no se puede abrir</translation>
    </message>
</context>
<context>
    <name>OperationProgress</name>
    <message>
        <source>, %1:%2 left</source>
        <translation>, quedan %1:%2</translation>
    </message>
</context>
<context>
    <name>ParameterFile</name>
    <message>
        <source>The file ends at line %1; a parameter file has %2 lines.</source>
        <translation>El archivo termina en la línea %1; un archivo de parámetros tiene %2 líneas.</translation>
    </message>
    <message>
        <source>Line %1 does not hold a whole number: &quot;%2&quot;.</source>
        <translation>La línea %1 no contiene un número entero: «%2».</translation>
    </message>
    <message>
        <source>Line %1 holds a colour too large: &quot;%2&quot;.</source>
        <translation>La línea %1 contiene un color demasiado grande: «%2».</translation>
    </message>
    <message>
        <source>Line %1 holds %2, which the field %3 cannot take.</source>
        <translation>La línea %1 contiene %2, que el campo %3 no admite.</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>No se puede abrir %1: %2</translation>
    </message>
</context>
<context>
    <name>ParameterFileOps</name>
    <message>
        <source>Cannot save %1: %2</source>
        <translation>No se puede guardar %1: %2</translation>
    </message>
</context>
<context>
    <name>ParameterMap</name>
    <message>
        <source>%1 is too large</source>
        <translation>%1 es demasiado grande</translation>
    </message>
    <message>
        <source>%1 is negative</source>
        <translation>%1 es negativo</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>no es un número</translation>
    </message>
    <message>
        <source>%1 is outside 0 to 65535</source>
        <translation>%1 está fuera del intervalo de 0 a 65535</translation>
    </message>
    <message>
        <source>Cell %1: %2 is outside 0 to 255</source>
        <translation>Celda %1: %2 está fuera del intervalo de 0 a 255</translation>
    </message>
    <message>
        <source>no choice</source>
        <translation>no hay nada elegido</translation>
    </message>
    <message>
        <source>%1 is outside 0 to 255</source>
        <translation>%1 está fuera del intervalo de 0 a 255</translation>
    </message>
</context>
<context>
    <name>PortLookup</name>
    <message>
        <source>present</source>
        <translation>presente</translation>
    </message>
    <message>
        <source>no device at this node</source>
        <translation>ningún dispositivo en este nodo</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>no conectado</translation>
    </message>
</context>
<context>
    <name>PortPanel</name>
    <message>
        <source>Assign...</source>
        <translation>Asignar...</translation>
    </message>
    <message>
        <source>Assign a serial adapter to a Com number</source>
        <translation>Asignar un adaptador serie a un número Com</translation>
    </message>
    <message>
        <source>opens %1 (%2), %3</source>
        <translation>abre %1 (%2), %3</translation>
    </message>
    <message>
        <source>Com%1: opens %2</source>
        <translation>Com%1: abre %2</translation>
    </message>
    <message>
        <source>
assigned: </source>
        <translation>
asignado: </translation>
    </message>
    <message>
        <source>One USB serial adapter is plugged in: %1 (%2). &quot;Com%3:&quot; opens %4. Assign the adapter to &quot;Com%3:&quot;?</source>
        <translation>Hay un adaptador serie USB conectado: %1 (%2). «Com%3:» abre %4. ¿Asignar el adaptador a «Com%3:»?</translation>
    </message>
    <message>
        <source>Com%1: not connected; </source>
        <translation>Com%1: no conectado; </translation>
    </message>
    <message>
        <source>Com%1: %2 (assigned), not connected; zav.ini keeps Com%1</source>
        <translation>Com%1: %2 (asignado), no conectado; zav.ini conserva Com%1</translation>
    </message>
</context>
<context>
    <name>PortRoute</name>
    <message>
        <source>assigned</source>
        <translation>asignado</translation>
    </message>
    <message>
        <source>default</source>
        <translation>predeterminado</translation>
    </message>
</context>
<context>
    <name>PortTrial</name>
    <message>
        <source>Port busy: finish the running operation first</source>
        <translation>Puerto ocupado: termine primero la operación en curso</translation>
    </message>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 no se ha guardado: %2</translation>
    </message>
</context>
<context>
    <name>RegularFileReader</name>
    <message>
        <source>it is not a regular file (a device, a pipe or a socket)</source>
        <translation>no es un archivo normal (es un dispositivo, una tubería o un socket)</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>ocupa más de %1 bytes</translation>
    </message>
    <message>
        <source>it holds %1 bytes, more than the %2 a file of this kind can need</source>
        <translation>ocupa %1 bytes, más de los %2 que puede necesitar un archivo de este tipo</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es una carpeta</translation>
    </message>
</context>
<context>
    <name>StartupSettings</name>
    <message>
        <source>%1 %2 out of range, %3 used</source>
        <translation>%1 %2 fuera de rango, se usa %3</translation>
    </message>
    <message>
        <source>%1 of 5 values within its first %2 bytes, defaults used for the rest</source>
        <translation>%1 de 5 valores en sus primeros %2 bytes, valores por defecto para el resto</translation>
    </message>
    <message>
        <source>%1 of 5 values read, defaults used for the rest</source>
        <translation>%1 de 5 valores leídos, valores por defecto para el resto</translation>
    </message>
    <message>
        <source>%1 not found, defaults used</source>
        <translation>no se encuentra %1, se usan los valores por defecto</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2), defaults used</source>
        <translation>no se puede leer %1 (%2), se usan los valores por defecto</translation>
    </message>
</context>
<context>
    <name>TraceFile</name>
    <message>
        <source>Cannot open %1 for the traffic record: %2</source>
        <translation>No se puede abrir %1 para el registro de tráfico: %2</translation>
    </message>
    <message>
        <source>Cannot write the traffic record to %1: %2</source>
        <translation>No se puede escribir el registro de tráfico en %1: %2</translation>
    </message>
</context>
<context>
    <name>TrafficView</name>
    <message>
        <source>%1 not saved: %2</source>
        <translation>%1 no se ha guardado: %2</translation>
    </message>
    <message>
        <source>Save traffic record...</source>
        <translation>Guardar el registro de tráfico...</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Save traffic record</source>
        <translation>Guardar el registro de tráfico</translation>
    </message>
    <message>
        <source>Text (*.txt);;All files (*)</source>
        <translation>Texto (*.txt);;Todos los archivos (*)</translation>
    </message>
</context>
<context>
    <name>WholeFileWriter</name>
    <message>
        <source>it is not a regular file (a device, a pipe or a socket)</source>
        <translation>no es un archivo normal (es un dispositivo, una tubería o un socket)</translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation>el archivo no está abierto</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>PortNumber %1 is not a port 1 to 9, Com1: used</source>
        <translation>PortNumber %1 no es un puerto de 1 a 9, se usa Com1:</translation>
    </message>
    <message>
        <source>%1 could not be written</source>
        <translation>no se ha podido escribir %1</translation>
    </message>
    <message>
        <source>read not finished, nothing was changed</source>
        <translation>lectura no terminada, no se ha cambiado nada</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>zav-sim not found beside zav or on the PATH</source>
        <translation>no se encuentra zav-sim junto a zav ni en el PATH</translation>
    </message>
    <message>
        <source>zav-sim does not start: %1</source>
        <translation>zav-sim no arranca: %1</translation>
    </message>
    <message>
        <source>zav-sim gave no device path (profile &quot;%1&quot;)</source>
        <translation>zav-sim no ha dado ninguna ruta de dispositivo (perfil «%1»)</translation>
    </message>
    <message>
        <source>No place for the demo&apos;s settings file: %1</source>
        <translation>No hay sitio para el archivo de configuración de la demostración: %1</translation>
    </message>
</context>
</TS>
