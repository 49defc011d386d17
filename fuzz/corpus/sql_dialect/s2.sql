delete * from xact
