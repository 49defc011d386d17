-- Receipts go to printer 4, which does not exist.
insert into config (localprinter) values (4);
