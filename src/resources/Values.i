; KELM Programmer: listor och inställningar.
; Listornas nyckelnummer är koden som skrivs till enheten. <EMPTY> lämnar ett
; nummer oanvänt, <END> avslutar listan.

[Setup]
ConfigDirectory=

[AlarmType]
0=Inbrott
1=Överfall
2=Brand
3=Teknisk
4=Dörr öppen
5=Dörr stängd
6=Sabotage
7=Trygghetslarm
8=Vattenläckage
9=Strömavbrott
10=<END>

[DoorMatSensorType]
0=Ingen
1=Trampmatta, slutande
2=Trampmatta, brytande
3=IR-detektor
4=Mikrovågsdetektor
5=<END>

; Regelns fält: startens ordningstal (1-4, 5 = sista), veckodag (1 = söndag),
; månad, timme, minut; stoppets ordningstal, veckodag, månad, timme, minut;
; justering i minuter.
[DaylightSaving]
0=Ingen sommartid
1=Europa (utom Island)
1TZ=5,1,3,2,0,5,1,10,3,0,60
2=USA och Kanada
2TZ=2,1,3,2,0,1,1,11,2,0,60
3=<END>
