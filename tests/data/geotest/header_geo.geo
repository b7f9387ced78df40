GeoTest Triaxial Data File
Client: Harbor Point Developers
Project: Pier 7 Retaining Wall
Project ID: HP-2291
Location: North abutment
Boring No: B-12
Sample ID: S-4
Sample Depth: 12.5 ft
Sample Descr: Grey silty clay with sand
Tested By: R. Ames
Type of specimen Undisturbed
Specimen Preparation Trimmed from tube
Last Revision Date 03/15/2004
Sample Dia: 2.416 in
Sample Ht: 5.012 in
Cell Pressure 30.00 psi
Frequency: 10 sec

Normal Pressure 12.0
ELAPSED TIME, DISPLACEMENT, LOAD, PRESSURE, STRESS, STRAIN
0 0.000 0.0 30.0 0.0 0.00 30.0
10 0.002 15.2 30.1 3.3 0.04 30.0
20 0.004 28.9 30.4 6.3 0.08 30.0
