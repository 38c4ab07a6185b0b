-- Demo activities (promotions) with their counted goods and gift sets.

INSERT INTO zlava (id, nazov, popis, datum_od, datum_do, dodatpla) VALUES
  (1, 'Vianočná káva', 'Za každých 100 € nákupu kávy 2 vzorky kávy Espresso.', '2026-11-15', '2027-01-31', 100),
  (2, 'Zimná ochutnávka', 'Za každých 50 € nákupu vzorka čaju a čokolády.', '2026-12-01', '2027-02-28', 50),
  (3, 'Letná akcia', 'Letná ochutnávka čokolády.', '2026-06-01', '2026-08-31', 30),
  (4, 'Jarná ponuka', 'Pri každom nákupe vzorka kávy.', '2027-03-01', '2027-04-30', NULL);

INSERT INTO zlava_tovar (zlava_id, idtov) VALUES
  (1, 'T001'),
  (1, 'T002'),
  (3, 'T006');

INSERT INTO zlava_darcek (zlava_id, idtov, mnozstvo) VALUES
  (1, 'V001', 2),
  (2, 'V002', 1),
  (2, 'V003', 1),
  (3, 'V003', 2),
  (4, 'V001', 1);
